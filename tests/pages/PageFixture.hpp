// A page under test: a scripted host, fake services in a temporary program
// directory, and a bare main window to be the page's parent.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/Dialog.hpp"
#include "support/FakeSystem.hpp"
#include "support/ScriptedHost.hpp"

namespace quillon::test {

inline const ui::DialogTemplate& ParentTemplate() {
    static const ui::DialogTemplate parent{102, "main", 400, 300, {}};
    return parent;
}

// The section a record page edits; the main window holds it in the real program.
template <class Page>
struct PageRecord {};
template <class Page>
requires requires {
    typename Page::RecordType;
}
struct PageRecord<Page> {
    typename Page::RecordType record{};
};

template <class Page>
struct PageFixture : PageRecord<Page> {
    ScriptedHost host;
    FakeSystem system;
    ui::Dialog parent{ParentTemplate(), host};
    Page page = MakePage();

    PageFixture() { page.Create(); }

    Page MakePage() {
        if constexpr (requires { typename Page::RecordType; }) {
            return Page{host, parent, this->record, system.services};
        } else {
            return Page{host, parent, system.services};
        }
    }

    std::vector<std::string> Row(int listId, int row, int columns) const {
        std::vector<std::string> cells;
        for (int column = 0; column < columns; ++column) {
            cells.push_back(page.GetItemText(listId, row, column));
        }
        return cells;
    }
};

inline const RecordedBox WarningBox(int owner, std::string text) {
    return {owner, std::move(text), "警告", ui::MB_OK | ui::MB_ICONQUESTION};
}

inline const RecordedBox NoticeBox(int owner, std::string text) {
    return {owner, std::move(text), "Quillon", ui::MB_OK};
}

}  // namespace quillon::test
