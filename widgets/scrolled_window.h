#pragma once

class QScrollArea;
class QWidget;

// Shows `content`, laid out at its fixed design size, in a frameless scroll area that fills
// `window`. The window opens at the content's size, or no larger than the screen's free area: on
// a smaller screen the bars appear and nothing is out of reach. It never grows beyond the content
// and its bars.
QScrollArea *showScrolled(QWidget *window, QWidget *content);
