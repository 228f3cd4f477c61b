// The dialog templates of the resource library, in every language, as a
// keyboard user meets them: a letter on every labelled control, no letter
// twice on a window, and Tab going the way the eye reads.
#include <map>
#include <string>

#include "resources/ids.h"

#include "support/WinTest.h"
#include "support/WindowControls.h"

using namespace testenv;

namespace {

struct Template {
    const wchar_t* name;  // the resource name: MAKEINTRESOURCE(id) or a text
    const char* what;
    bool page;  // a wizard page: the sheet's buttons share its letters
};

const Template kTemplates[] = {
    {MAKEINTRESOURCEW(IDD_PAGE_BEGIN), "Begin page", true},
    {MAKEINTRESOURCEW(IDD_PAGE_FILES), "Files page", true},
    {MAKEINTRESOURCEW(IDD_PAGE_OPTIONS), "Options page", true},
    {MAKEINTRESOURCEW(IDD_PAGE_STANDARDS), "Standards page", true},
    {MAKEINTRESOURCEW(IDD_PAGE_SEARCH), "Search page", true},
    {MAKEINTRESOURCEW(IDD_PAGE_FINISH), "Finish page", true},
    {MAKEINTRESOURCEW(IDD_PROGRESS), "run monitor", false},
    {MAKEINTRESOURCEW(IDD_HELP), "help window", false},
    {MAKEINTRESOURCEW(IDD_SAFETY_NOTICE), "safety notice", false},
    {MAKEINTRESOURCEW(IDD_RUN_VEK), "missing-profile notice", false},
    {L"DIRSELECT", "folder picker", false},
};

const wchar_t* const kLanguages[] = {L"en-US", L"de-DE"};

// The sheet's Back and Next come in the system's language, which need not be
// the host's: the letters of both languages are kept free on every page.
const struct {
    wchar_t letter;
    const char* button;
} kSheetLetters[] = {
    {L'B', "< &Back"}, {L'N', "&Next >"}, {L'Z', "< &Zurück"}, {L'W', "&Weiter >"}};

std::string Name(const Control& c) {
    return Narrow(c.Text.empty() ? L"#" + std::to_wstring(c.Id) : L"\"" + c.Text + L"\"");
}

class DialogTemplates : public WinTest {
  protected:
    template <typename Check>
    void ForEachWindow(Check check) {
        for (const wchar_t* language : kLanguages) {
            HMODULE library = LoadLibraryW(ResourceLibraryFile(language).c_str());
            ASSERT_TRUE(library) << Narrow(language);
            for (const Template& t : kTemplates) {
                TemplateWindow window(library, t.name);
                const std::string where = Narrow(language) + " " + t.what;
                if (!window.Hwnd()) {
                    ADD_FAILURE() << where << ": no window from the template";
                    continue;
                }
                check(t, ControlsOf(window.Hwnd()), where);
            }
            FreeLibrary(library);
        }
    }
};

}  // namespace

TEST_F(DialogTemplates, EveryLabelledControlHasALetterOfItsOwnOnItsWindow) {
    ForEachWindow(
        [](const Template& t, const std::vector<Control>& controls, const std::string& where) {
            std::map<wchar_t, std::string> taken;
            if (t.page) {
                for (const auto& sheet : kSheetLetters) taken[sheet.letter] = sheet.button;
            }
            for (size_t i = 0; i < controls.size(); ++i) {
                const Control& c = controls[i];
                // OK, Cancel and Close answer Enter and Escape instead.
                const bool answersEnterOrEscape = c.Id == IDOK || c.Id == IDCANCEL;
                if ((c.IsPushButton() || c.IsCheckOrRadio()) && !c.Text.empty() &&
                    !answersEnterOrEscape) {
                    EXPECT_NE(c.Mnemonic(), 0) << where << ": " << Name(c) << " has no letter";
                }
                if (c.IsInput() && c.IsTabStop()) {
                    // Its label is the control before it that shows a text.
                    size_t label = i;
                    while (label > 0 && controls[label - 1].IsStatic() &&
                           controls[label - 1].Text.empty())
                        --label;
                    const bool labelled =
                        label > 0 &&
                        (controls[label - 1].IsStatic() || controls[label - 1].IsCheckOrRadio()) &&
                        controls[label - 1].Mnemonic() != 0;
                    EXPECT_TRUE(labelled)
                        << where << ": " << Name(c) << " has no label with a letter before it";
                }
                const wchar_t letter = c.Mnemonic();
                if (!letter) continue;
                const auto [at, fresh] = taken.emplace(letter, Narrow(c.Text));
                EXPECT_TRUE(fresh) << where << ": " << Name(c) << " and \"" << at->second
                                   << "\" share the letter " << Narrow(std::wstring(1, letter));
            }
        });
}

TEST_F(DialogTemplates, TabGoesDownEachColumnAndThenToTheColumnOnItsRight) {
    ForEachWindow(
        [](const Template&, const std::vector<Control>& controls, const std::string& where) {
            const Control* previous = nullptr;
            for (const Control& c : controls) {
                if (!c.IsTabStop()) continue;
                if (previous) {
                    const RECT& p = previous->Rect;
                    const RECT& r = c.Rect;
                    // Back up only into a column to the right; left only on a
                    // lower row.
                    const bool up = r.top < p.top && r.left < p.right;
                    const bool leftOnTheSameRow = r.top == p.top && r.left < p.left;
                    EXPECT_FALSE(up || leftOnTheSameRow)
                        << where << ": Tab goes from " << Name(*previous) << " back to " << Name(c);
                }
                previous = &c;
            }
        });
}
