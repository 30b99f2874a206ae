#pragma once

class QWidget;

// Enter (either key) presses the push button of `window` that has the focus. Typed in a box, it
// presses nothing: in a dialog, no default button takes it over.
void letEnterPressFocusedButton(QWidget *window);
