// What the Files page keeps for each drawing of its list, owned by the list
// through the item's data value and freed when the item is deleted. The
// preview control reads the selected item's through the list.
#pragma once

#include <string>

struct DrawingItem {
    std::wstring Name;     // base name, lower case (column 0)
    std::wstring Folder;   // drive and folder with the trailing separator, lower case
    std::wstring Version;  // the Version text of the drawing's header
    std::wstring Status;   // the status text from the file's attributes
    bool Missing = false;  // the attributes could not be read
    bool ReadOnly = false;
    // Read when first needed (a row shown, a sort, Next): a long list opens
    // without touching every drawing. The list asks the page for the texts.
    bool VersionPending = false;  // Version not read yet
    bool StatusPending = false;   // Status, Missing and ReadOnly not read yet
    // While the list sorts: the collation keys of the sorted column's chain
    // of texts, one after the other; empty otherwise.
    std::string SortKey;

    // The drawing's path, always rebuilt from its parts.
    std::wstring Path() const { return Folder + Name + L".dwg"; }
};
