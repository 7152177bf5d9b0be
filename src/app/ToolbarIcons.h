#pragma once

#include <QIcon>
#include <QString>

/// The toolbar's image for an image key ("Browse", "Edit", "Exit", "Refresh",
/// "Options", "Help"): the desktop theme's icon when the theme has one, else our
/// own drawing with a normal image and a brighter one for the hovered button.
/// An unknown key gives a null icon.
QIcon ToolbarIcon(const QString& key);

/// Our own drawing for a key, ignoring the theme (normal and hover variants).
/// An unknown key gives a null icon.
QIcon DrawnToolbarIcon(const QString& key);
