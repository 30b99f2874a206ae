#include "printing/window_printer.h"
#include "file_helpers.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QSet>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A small window with visible content, so its image cannot be a blank page.
class SampleWindow : public QWidget
{
public:
    SampleWindow()
    {
        setWindowTitle(u"Relatório de teste"_qs);
        auto *layout = new QVBoxLayout(this);
        auto *label = new QLabel(QStringLiteral("Tanque 01: 12.500 litros"), this);
        label->setStyleSheet(QStringLiteral("background: rgb(192, 255, 255); color: black;"));
        layout->addWidget(label);
        resize(340, 160);
    }
};

int distinctColours(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    }
    return int(colours.size());
}

// The first image of the PDF, decoded from its stream (the writer stores window images as JPEG).
QImage embeddedImage(const QByteArray &pdf)
{
    const qsizetype object = pdf.indexOf("/Subtype /Image");
    if (object < 0)
        return {};
    const qsizetype start = pdf.indexOf("stream\n", object) + qsizetype(qstrlen("stream\n"));
    const qsizetype end = pdf.indexOf("endstream", start);
    if (end < 0)
        return {};
    return QImage::fromData(pdf.mid(start, end - start));
}

} // namespace

class TestWindowPrinter : public QObject
{
    Q_OBJECT

private slots:
    void pdfHoldsOnePageWithTheWindowImage()
    {
        QTemporaryDir dir;
        SampleWindow window;
        window.show();
        const QString path = dir.filePath(QStringLiteral("janela.pdf"));
        QString error;
        QVERIFY2(writeWindowPdf(&window, path, &error), qPrintable(error));

        const QByteArray pdf = readAll(path);
        QVERIFY(pdf.startsWith("%PDF"));
        QCOMPARE(pdf.count("/Type /Page") - pdf.count("/Type /Pages"), 1);

        const QImage printed = embeddedImage(pdf);
        QCOMPARE(printed.size(), window.grab().size());
        QVERIFY(distinctColours(printed) > 2);
    }

    void unwritablePdfPathIsReported()
    {
        QTemporaryDir dir;
        SampleWindow window;
        const QString path = dir.filePath(QStringLiteral("falta/janela.pdf"));
        QString error;
        QVERIFY(!writeWindowPdf(&window, path, &error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(TestWindowPrinter)
#include "tst_window_printer.moc"
