#pragma once

#include <QImage>

namespace platform
{

// The 16 by 16 flag of the built-in design language, English: the Union
// flag on a transparent square, drawn rather than stored so that the engine
// needs no file for its own language.
QImage designLanguageFlag();

} // namespace platform
