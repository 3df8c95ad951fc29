#pragma once
// The program's own pictures for menus, tool bar, tree nodes and the record counter, drawn
// in code so that no image files are needed.
#include <QIcon>

namespace orv::app {

enum class IconId {
    ShowAll,
    ExtSearch,
    Update,
    Packets,
    Settings,
    Display,
    Print,
    Exit,
    Help,
    About,
    ListTab,
    TreeTab,
    Description,
    Panes,
    Query,
    Filter,
    Counter,
    Leaf,         // tree node without children
    GroupClosed,  // collapsed node with children
    GroupOpen,    // expanded node
    App,
    History,    // a clock
    Favourite,  // a star
};

QIcon AppIcon(IconId id);

}  // namespace orv::app
