#pragma once
// The description's calls into the display core: the record of one preparation and the page
// written from it. The window shows what these produce.
#include <string>
#include <vector>

namespace orv {
class DataSet;
class Reference;
}  // namespace orv

namespace orv::app {

// The eighteen display texts of one preparation (UTF-8, markup kept).
struct DisplayTexts {
    std::string Name, DosageForms, Manufacturers, PharmGroup, Inn, Synonyms, Composition,
        PharmAction, Indications, Contraindications, SideEffects, Interactions, Overdose,
        SpecialNotes, Reserved, Dosage, Storage, N10Text;
};

struct PageOptions {
    std::string pictDir;
    long long id = 0;                   // for the picture
    bool highlight = false;
    std::string filterText;             // the words to highlight
};

namespace displaycore {

// Reads the current row of `data` (qMain or qWork); lookups go through ref.qIzg.
DisplayTexts FillDisplayRec(DataSet& data, Reference& ref);
// Writes the page file (windows-1251, CR LF).
void WriteDescriptionPage(const std::string& file, const DisplayTexts& rec, const PageOptions& options);

}  // namespace displaycore
}  // namespace orv::app

namespace orv::app::displaycore {

// The data set holding the preparation of a tree node: qMain when the list has it (qMain then
// stands on it), else qWork opened on it. Null for a group node or a vanished preparation.
DataSet* RowForTreeNode(Reference& ref, long long id, const std::string& name, bool& fromWork);

}  // namespace orv::app::displaycore
