#pragma once

class QPagedPaintDevice;
struct BookPrintInput;

// Paints the day's book on the device, each product from the top of a page of its own. Texts
// stay texts on the page.
bool paintBookPages(QPagedPaintDevice *device, const BookPrintInput &input);
