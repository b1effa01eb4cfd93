#pragma once

#include <QString>

namespace kivaro {

class Player;

// What the engine needs of the main window, and nothing more. The main window implements it; the
// engine's tests use a fake. Names follow the main window's own fields: the player `flash`, the
// search-result flag (the tag of `Picture1`), the title link `Label2` and the search box `Text1`.
class MainWindowInterface
{
public:
    virtual ~MainWindowInterface() = default;

    // The player `flash`.
    virtual Player &flash() = 0;

    // The search-result flag: "" while a search handed over by the main window has not started a
    // video yet, "yes" once it has.
    virtual QString searchResultFlag() const = 0;
    virtual void setSearchResultFlag(const QString &flag) = 0;

    // The caption of `Label2`: the title as shown. Setting it shortens it for display and keeps the
    // full title.
    virtual QString titleCaption() const = 0;
    virtual void setTitleCaption(const QString &title) = 0;

    // The search box `Text1`.
    virtual QString searchText() const = 0;
    virtual void setSearchText(const QString &text) = 0;
    // Gives the main window the keyboard focus, then its search box (which selects all its text).
    virtual void focusSearchBox() = 0;

    // Shows the skin chooser and returns at once.
    virtual void showSkinChooser() = 0;

    // Tells the user something the engine could not do (nothing found, site unreachable).
    virtual void showNotice(const QString &text) = 0;
};

} // namespace kivaro
