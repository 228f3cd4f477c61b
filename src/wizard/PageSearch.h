// The Search page: the support folders the host searches while it migrates
// (SearchFolders), as a tree of one root and one child per folder. Folders
// can be added, browsed for, renamed in place, deleted, reordered, and saved
// to or loaded from a "pth" list file. Entering the page adds the folders of
// the chosen drawings; leaving it copies the tree back to SearchFolders.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Controls.h"
#include "wizard/WizardPage.h"

class CPageSearch : public CWizardPage {
  public:
    CPageSearch(CTARVOWizard* sheet, CAxvekTarvoApp& app);

    // The mouse watch: a click on Browse or Delete during a label edit goes
    // to its command instead of validating the edit first.
    bool PreTranslateMessage(MSG* msg) override;

  protected:
    void DoDataExchange(fw::CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void OnCancel() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    bool WindowProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  private:
    // Whether a child of the root names the folder (full lower-case paths,
    // ignoring case; a trailing separator makes a different folder).
    bool IsListed(const std::wstring& folder, HTREEITEM except = nullptr) const;
    // Whether the item is still the root or one of its folders.
    bool IsItem(HTREEITEM item) const;
    HTREEITEM AddFolder(const std::wstring& label) const;
    void EndLabelEdit(HTREEITEM item, const std::wstring& text);
    void RestartLabelEdit(HTREEITEM item, const std::wstring& text);
    void UpdateButtons() const;
    void Browse();
    void NewFolder();
    void DeleteFolder();
    void MoveFolder(bool up);
    void LoadList();
    void SaveList();
    HWND DialogOwner() const;

    fw::CTreeCtrl tree_;
    fw::CImageList images_;
    HTREEITEM root_ = TVI_ROOT;
    HTREEITEM current_ = TVI_ROOT;
    bool editing_ = false;
    bool browseClick_ = false;
    bool deleteClick_ = false;

    // An ended label edit, handled once the tree has finished ending it.
    HTREEITEM endedItem_ = nullptr;
    std::wstring endedText_;
    bool endedCancelled_ = false;
};
