#pragma once
// The description record of one preparation and the look-ups that fill it.
#include <optional>
#include <string>
#include <string_view>

#include "db/dataset.h"

namespace orv {

// The eighteen display texts of one preparation (UTF-8), in their fixed order.
struct TDisplayRec {
    std::string Name;
    std::string DosageForms;
    std::string Manufacturers;
    std::string PharmGroup;
    std::string Inn;
    std::string Synonyms;
    std::string Composition;
    std::string PharmAction;
    std::string Indications;
    std::string Contraindications;
    std::string SideEffects;
    std::string Interactions;
    std::string Overdose;
    std::string SpecialNotes;
    std::string Reserved;  // never filled
    std::string Dosage;
    std::string Storage;
    std::string N10Text;  // shown by no view
    bool operator==(const TDisplayRec&) const = default;
};

// Reads the current row of `ds`; `lookup` runs the group and manufacturer look-ups one after
// the other. A missing column throws; the look-ups swallow their own errors.
TDisplayRec FillDisplayRec(const DataSet& ds, DataSet& lookup, const std::string& nameColumn);

// Name of the group whose id is the text; empty when the text is not an integer, no group has
// it, or the look-up fails.
std::string GroupNameById(std::string_view idText, DataSet& lookup);

// The condition over table i for a manufacturer id list such as "[12],[34]"; nullopt when the
// text is not such a list (nothing of it may reach SQL).
std::optional<std::string> ManufacturerCondition(std::string_view idList);

// Manufacturer names of the ids in the list, joined by ", " in the order the database returns
// them; empty for a short or malformed list.
std::string ManufacturerList(std::string_view idList, DataSet& lookup,
                             const std::string& nameColumn);

// The record text shown under a section caption (exact match); nullptr for any other caption.
const std::string* SectionText(const TDisplayRec& rec, std::string_view caption);

}  // namespace orv
