// Listing profiles into the list box of whichever window is given, also when windows alternate,
// end, or lose their list box.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "res/resource.h"
#include "store/profile.h"
#include "tests/support/editor_window.h"

using testing_support::EditorWindow;

namespace {

typedef std::vector<std::string> Names;

HWND MakeListBox(HWND parent)
{
    return CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_SORT | LBS_HASSTRINGS, 0, 0, 100, 100, parent,
                           (HMENU)(INT_PTR)IDC_PROFILE_LIST, GetModuleHandleA(nullptr), nullptr);
}

// A window holding a list box with the profile list's id, as the editor does.
class ListWindow {
public:
    ListWindow()
        : window_(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr))
    {
        MakeListBox(window_);
    }
    ~ListWindow() { DestroyWindow(window_); }
    ListWindow(const ListWindow&) = delete;
    ListWindow& operator=(const ListWindow&) = delete;

    HWND window() const { return window_; }
    Names entries() const { return EditorWindow(window_).entries(); }

private:
    HWND window_;
};

// Profiles named as given, linked in the given order.
class Profiles {
public:
    explicit Profiles(const Names& names) : nodes_(names.size())
    {
        for (size_t i = 0; i < names.size(); ++i) {
            lstrcpynA(nodes_[i].name(), names[i].c_str(), FIELD_SIZE);
            nodes_[i].next = i + 1 < names.size() ? &nodes_[i + 1] : nullptr;
        }
        list.first = nodes_.empty() ? nullptr : &nodes_[0];
    }
    ProfileList list;

private:
    std::vector<Profile> nodes_;
};

TEST(ProfileListBox, EachFillReachesTheListBoxOfTheWindowGiven)
{
    ListWindow first, second;
    Profiles a({ "alpha", "beta" }), b({ "gamma" });

    a.list.fillListBox(first.window(), 0);
    b.list.fillListBox(second.window(), 0);
    EXPECT_EQ(first.entries(), Names({ "alpha", "beta" }));
    EXPECT_EQ(second.entries(), Names({ "gamma" }));

    // Back to the first window: its list is replaced, the second keeps its own.
    b.list.fillListBox(first.window(), 0);
    EXPECT_EQ(first.entries(), Names({ "gamma" }));
    EXPECT_EQ(second.entries(), Names({ "gamma" }));
    a.list.fillListBox(second.window(), 0);
    EXPECT_EQ(second.entries(), Names({ "alpha", "beta" }));
    EXPECT_EQ(first.entries(), Names({ "gamma" }));
}

TEST(ProfileListBox, AWindowAfterAnEndedOneAndAReplacedListBoxAreFilled)
{
    Profiles a({ "alpha" }), b({ "beta", "delta" });
    {
        ListWindow ended;
        a.list.fillListBox(ended.window(), 0);
        EXPECT_EQ(ended.entries(), Names({ "alpha" }));
    }
    ListWindow next;
    b.list.fillListBox(next.window(), 0);
    EXPECT_EQ(next.entries(), Names({ "beta", "delta" }));

    DestroyWindow(GetDlgItem(next.window(), IDC_PROFILE_LIST));
    MakeListBox(next.window());
    a.list.fillListBox(next.window(), 0);
    EXPECT_EQ(next.entries(), Names({ "alpha" }));
}

TEST(ProfileListBox, AWindowWithoutTheListBoxChangesNoOtherList)
{
    ListWindow filled;
    Profiles a({ "alpha" }), b({ "beta" });
    a.list.fillListBox(filled.window(), 0);

    HWND bare = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr),
                                nullptr);
    b.list.fillListBox(bare, 0);
    EXPECT_EQ(filled.entries(), Names({ "alpha" }));
    EXPECT_EQ(GetWindow(bare, GW_CHILD), nullptr);
    DestroyWindow(bare);
}

}  // namespace
