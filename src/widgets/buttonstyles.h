#pragma once

class NavButton;
class QPixmap;
class QString;

// The five looks a NavButton takes in this program. Each one sets every colour it needs, so applying one
// after another never leaves a mix of both.

// Top menu row of the main window.
void applyMenuStyle(NavButton *button);
// Ordinary action buttons.
void applyPlainStyle(NavButton *button);
// Recording controls while they may not be used; also disables the button.
void applyDisabledStyle(NavButton *button);
// Recording controls while they may be used.
void applyActiveStyle(NavButton *button);
// Toggle buttons: a tick box drawn at the right end of the button, placed from its current width.
void applyCheckboxIconStyle(NavButton *button, const QPixmap &box);
// The main window's bundled rules and its menu row's look.
QString windowStyleSheet();
