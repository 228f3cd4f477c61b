// The Files page: the list of drawings to migrate, built by browsing, by
// dropping files and folders on the wizard and from drawing list files, with
// each drawing's folder, format version and status, and its preview beside
// the list. Next hands the usable drawings to the application object
// (Drawings) and leaves in DmlFile the list file that matches the list.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "core/Text.h"
#include "framework/Controls.h"
#include "wizard/DrawingScan.h"
#include "wizard/Preview.h"
#include "wizard/WizardPage.h"
#include "wizard/core/DrawingItem.h"
#include "wizard/core/DrawingSort.h"

// The drawing list, attached to its template control without subclassing
// (AttachWithoutSubclassing): the page handles none of its messages, so none
// of them need pass through a procedure of ours.
class CDrawingList : public fw::CListCtrl {};

class CPageFiles : public CWizardPage {
  public:
    CPageFiles(CTARVOWizard* sheet, CAxvekTarvoApp& app);
    ~CPageFiles() override;

    bool TakesDroppedFiles() const override { return true; }

    // What the buttons, keys and the sheet's drops run; public for the
    // benchmarks, which time them on a page of their own.
    void AddDrawingFiles();
    void DropFiles(HDROP drop);
    void RemoveSelected();
    bool SaveList();
    void OpenList();
    // OpenList once its dialog has chosen the path: the list replaced by the
    // file's unmarked drawings, or kept with a message when it is no list.
    void OpenListFile(const std::wstring& path);
    void AddList();
    void NewList();
    void RefreshAllStatuses();
    void CollectDrawings();
    void SortByColumn(int column);
    // Adds the drawings at the paths (lower case, each listed once) and
    // updates the buttons: the list files' and the dialog's way in.
    void AddDrawings(const std::vector<std::wstring>& paths);

    bool Modified() const { return modified_; }
    const std::wstring& LastListPath() const { return lastListPath_; }

  protected:
    void DoDataExchange(fw::CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    bool OnDropFiles(HDROP drop) override;
    bool WindowProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  private:
    using Candidate = drawingscan::Candidate;
    // Lists the candidates in their order, those not listed yet, with the
    // list's redraw off and the room reserved.
    void AddCandidates(const std::vector<Candidate>& candidates);
    // drawingscan::ReadDrawingList under the wait cursor.
    static bool ReadDrawingList(const std::wstring& path, std::vector<std::wstring>& entries);
    void SetStatus(DrawingItem& item, bool readable, DWORD attributes) const;
    void RefreshStatus(DrawingItem& item) const;
    // Reads what the item has not read yet: its version, its status.
    static void ReadVersion(DrawingItem& item);
    void ReadStatus(DrawingItem& item) const;
    // The texts of the version and status columns, read when first shown.
    void GetDispInfo(NMLVDISPINFOW& info) const;
    void DeleteAllDrawings();
    bool ConfirmDiscard();
    void ListError(UINT id) const;
    // The list-file dialog of OpenList (title 2019) and AddList (2023); on OK
    // LastListPath is the chosen path.
    bool ChooseListToRead(UINT titleId);
    void UpdateControls();
    DrawingItem* Item(int index) const;
    HWND DialogOwner() const;
    static int CALLBACK CompareItems(LPARAM first, LPARAM second, LPARAM how);

    CPreview preview_;
    CDrawingList list_;
    bool modified_ = false;
    std::wstring lastListPath_;
    // The rebuilt paths of the listed drawings: the duplicate test.
    text::NoCaseSet listed_;
    // The status texts, loaded once.
    std::wstring statusMissing_, statusReadOnly_, statusFolder_, statusOffline_;
    // The wizard buttons last posted, so that a selection of many items
    // posts them once; -1 after activation.
    int postedButtons_ = -1;
    // Which way each column sorts next; a page of its own starts afresh.
    drawingsort::SortOrder sortOrder_;
};
