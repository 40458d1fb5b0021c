#pragma once

#include <QPixmap>
#include <QString>

// The program's pictures (button pictures, icons, logos) are files of the
// program folder, in its "pictures" subfolder, so that the maker can replace
// its artwork without a new build. A missing file gives an empty picture:
// the window still works, only without that picture.
QPixmap programPicture(const QString &fileName);

// Tests run from the build tree, where no program folder exists; they point
// the pictures at the source tree's copy instead.
void setProgramPictureFolder(const QString &folder);
