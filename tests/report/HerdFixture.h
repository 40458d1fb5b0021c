#pragma once

#include "MemoryDataSource.h"
#include "ReportDBDataset.h"
#include "ReportEngine.h"
#include "TemplateLoader.h"

#include <QDateTime>
#include <map>

// A small herd fed to the engine the way the program feeds it: an object
// query, and a result query reopened for the current object by the object
// dataset's after-next handler.
struct HerdFixture {
    report::MemoryDataSource objects{{"IDOB", "NAZWA_DEV", "OPIS", "OBRAZEK"}};
    report::MemoryDataSource results{{"IDWYN", "IDOB", "DATACZAS", "DANE2", "REZC"}};
    std::map<int, std::vector<QVariantList>> resultsByObject;
    report::ReportDBDataset frxDBObiekty{"frxDBObiekty", objects};
    report::ReportDBDataset frxDBWyniki{"frxDBWyniki", results};
    report::ReportEngine engine;
    int afterNextCount = 0;

    HerdFixture()
    {
        frxDBObiekty.setOnAfterNext([this] {
            ++afterNextCount;
            reopenResults();
        });
        engine.addDataset(frxDBObiekty);
        engine.addDataset(frxDBWyniki);
        engine.setPrintMoment(QDateTime(QDate(2024, 3, 5), QTime(14, 30, 0)));
    }

    void addObject(int id, const QString &name, const QString &description, int resultCount,
                   const QByteArray &photo = {})
    {
        objects.addRow({id, name, description, photo});
        for (int index = 0; index < resultCount; ++index) {
            const QDateTime when(QDate(2024, 1, 1).addDays(index), QTime(index % 2 ? 15 : 8, 30));
            resultsByObject[id].push_back({id * 1000 + index, id, when, 100.0 + 10 * index,
                                           QStringLiteral("%1 note %2").arg(name).arg(index)});
        }
    }

    // What the program does before preparing: the first object's results
    // are loaded by hand, since moving to the first row raises no event.
    void reopenResults()
    {
        const int id = objects.value("IDOB").toInt();
        const auto found = resultsByObject.find(id);
        results.setRows(found == resultsByObject.end() ? std::vector<QVariantList>{} : found->second);
    }

    void prepare(const QByteArray &templateXml)
    {
        engine.setLayout(report::TemplateLoader::loadText(templateXml, QStringLiteral("test template")));
        objects.first();
        reopenResults();
        engine.prepareReport();
    }
};

// A master-detail template like the program's: each object with its name
// and description, then one line per result.
inline const QByteArray HerdTemplate = R"(<report>
  <page width="210" height="297" orientation="landscape" left="10" top="10" right="10" bottom="10"/>
  <styles><style name="Tytuł" font="DejaVu Sans" size="27" bold="true"/></styles>
  <band type="reportTitle" height="12">
    <text name="Title" left="0" top="0" width="200" height="10" style="Tytuł">Herd report</text>
  </band>
  <band type="masterData" dataset="frxDBObiekty" height="20">
    <text name="Name" left="0" top="0" width="100" height="8" style="Tytuł">[frxDBObiekty."NAZWA_DEV"]</text>
    <text name="Description" left="0" top="10" width="150" height="8" stretch="true">[frxDBObiekty."OPIS"]</text>
    <picture name="Photo" left="200" top="0" width="40" height="20" dataset="frxDBObiekty" field="OBRAZEK"/>
  </band>
  <band type="detailData" dataset="frxDBWyniki" height="6">
    <text name="When" left="0" top="0" width="50" height="6" frame="all">[frxDBWyniki."DATACZAS"]</text>
    <text name="Reading" left="50" top="0" width="30" height="6" frame="all" halign="right">[frxDBWyniki."DANE2"]</text>
    <text name="Comment" left="80" top="0" width="100" height="6" frame="all" stretch="true">[frxDBWyniki."REZC"]</text>
  </band>
  <band type="pageFooter" height="6">
    <text name="Printed" left="0" top="0" width="60" height="5" autoWidth="true">[Date], [Time]</text>
    <text name="PageNo" left="200" top="0" width="60" height="5">Page [Page#] of [TotalPages#]</text>
  </band>
</report>)";
