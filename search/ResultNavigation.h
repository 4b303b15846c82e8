// Where a result row leads: the node a go-to selects in the main window, found again from the
// row's key, so that objects deleted while a result window was open lead nowhere.
#pragma once

#include "core/BankTrees.h"
#include "platform/text/Ansi.h"

#include <cstdint>
#include <optional>

namespace kelvo {

class PwdList;

/// The node a go-to selects: a record (the records tab) or a password folder (the
/// passwords tab).
struct GoToTarget {
    TreeKind tree = TreeKind::Records;
    std::uint32_t uid = 0;
    /// The main window's tab that shows the tree: 0 records, 1 passwords.
    int tab() const { return tree == TreeKind::Records ? 0 : 1; }
    bool operator==(const GoToTarget&) const = default;
};

/// The node a row with `key` leads to: the record of a "rec" key, the folder of a "pwd" key,
/// the folder holding the entry of a "pit" key. Empty when that object (for an entry, the
/// entry or its folder) no longer exists, or for any other key.
std::optional<GoToTarget> GoToTargetOf(AnsiView key, BankTrees trees, const PwdList& entries);

/// What the result windows ask of the main window.
class ResultNavigator {
public:
    virtual ~ResultNavigator() = default;
    /// Shows a node that exists: selects its tab and makes it the selected node of its tree,
    /// scrolled into view, as a click on it would.
    virtual void ShowNode(const GoToTarget& target) = 0;
    /// Writes the body being edited into the bank, so that a search or a query reads the
    /// text the user sees.
    virtual void SaveEditedBody() {}
};

/// Resolves `key` and, when it leads somewhere, has `navigator` show the node. False when
/// the object is gone (nothing happens then).
bool GoToResult(AnsiView key, BankTrees trees, const PwdList& entries, ResultNavigator& navigator);

} // namespace kelvo
