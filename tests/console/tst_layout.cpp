// What the operator sees of each window: every label's whole text, whichever caption it shows and
// in the locale the tests run in (the suite runs this twice, in C and in pt_BR, on two screen
// sizes); the log's long lines; and the console on a screen smaller than its design.
#include "console/message_log_model.h"
#include "operator_windows.h"

#include <QApplication>
#include <QDate>
#include <QHelpEvent>
#include <QLabel>
#include <QListView>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QToolTip>

#include <map>

namespace {

// Captions a label takes while the program runs, besides the one it is designed with.
QStringList runningCaptions(const QString &form, const QString &label)
{
    if (form != QLatin1String("Form1"))
        return {};
    if (label == QLatin1String("Label8"))
        return {QStringLiteral("Vol. Medido"), QStringLiteral("Peso Medido")};
    if (label == QLatin1String("Label9"))
        return {QStringLiteral("Vol. Complementar"), QStringLiteral("Peso Complementar")};
    // The clock: the widest date this locale writes, and the time.
    if (label == QLatin1String("Data"))
        return {QLocale().toString(QDate(2024, 12, 28), QLocale::ShortFormat)};
    if (label == QLatin1String("Hora"))
        return {QStringLiteral("23:59:59")};
    if (label.startsWith(QLatin1String("Label26_"))) {
        const int sensor = label.mid(8).toInt() + 1;
        QStringList captions;
        for (const char *state : {"em Curto", "Normal", "Vazamento", "Aberto"})
            captions << QStringLiteral("Sensor#%1 %2").arg(sensor, 2, 10, QLatin1Char('0')).arg(QLatin1String(state));
        return captions;
    }
    return {};
}

} // namespace

class TestLayout : public QObject {
    Q_OBJECT

private slots:
    void labelsShowTheirWholeText_data()
    {
        QTest::addColumn<QLabel *>("label");
        QTest::addColumn<QString>("caption");
        for (const QString &form : OperatorWindow::forms()) {
            for (QLabel *label : windowFor(form)->findChildren<QLabel *>()) {
                QStringList captions = runningCaptions(form, label->objectName());
                if (!label->text().isEmpty() && !captions.contains(label->text()))
                    captions.prepend(label->text());
                const QString name = form + QLatin1Char(' ') + label->parentWidget()->objectName() + QLatin1Char('/')
                    + label->objectName();
                for (const QString &caption : captions)
                    QTest::newRow(qPrintable(QStringLiteral("%1 \"%2\"").arg(name, caption))) << label << caption;
            }
        }
    }

    void labelsShowTheirWholeText()
    {
        QFETCH(QLabel *, label);
        QFETCH(QString, caption);
        const QFontMetrics metrics(label->font());
        const int margin = label->margin();
        const QRect room = label->contentsRect().marginsRemoved(QMargins(margin, margin, margin, margin));
        const QRect needed = label->wordWrap()
            ? metrics.boundingRect(QRect(0, 0, room.width(), 1000), Qt::TextWordWrap, caption)
            : QRect(0, 0, metrics.horizontalAdvance(caption), metrics.height());
        QVERIFY2(needed.width() <= room.width(),
                 qPrintable(QStringLiteral("%1 px for %2 px of text").arg(room.width()).arg(needed.width())));
        if (label->wordWrap())
            QVERIFY2(needed.height() <= room.height(),
                     qPrintable(QStringLiteral("%1 px for %2 px of lines").arg(room.height()).arg(needed.height())));
    }

    // The console opens within the screen's free area, as large as it allows: a bar appears only
    // where the screen is too small for the content, and the bar across takes its own height.
    void consoleOpensWithinTheScreen()
    {
        OperatorWindow window(QStringLiteral("Form1"));
        QWidget *console = window.window();
        auto *area = console->findChild<QScrollArea *>();
        const QSize available = console->screen()->availableGeometry().size();
        const int bar = area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area);
        QVERIFY(console->width() <= available.width() && console->height() <= available.height());
        const bool across = available.width() < 1102;
        QTRY_COMPARE(area->horizontalScrollBar()->isVisible(), across);
        QCOMPARE(area->verticalScrollBar()->isVisible(), available.height() < 742 + (across ? bar : 0));
        QCOMPARE(console->width(), std::min(available.width(), 1102));
    }

    void smallerWindowScrolls_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<bool>("vertical");
        QTest::newRow("design size") << QSize(1102, 742) << false << false;
        // The window takes the height of the bar across the content, up to the screen's height.
        QTest::newRow("1024x768 screen") << QSize(1024, 768) << true << false;
        QTest::newRow("800x600 screen") << QSize(800, 600) << true << true;
        QTest::newRow("short, room for the bar") << QSize(1280, 600) << false << true;
        QTest::newRow("larger than the design") << QSize(1280, 1024) << false << false;
    }

    // Every control stays where the design puts it, within content of the design size; the
    // window only shows less of it at a time.
    void smallerWindowScrolls()
    {
        QFETCH(QSize, size);
        QFETCH(bool, horizontal);
        QFETCH(bool, vertical);
        OperatorWindow window(QStringLiteral("Form1"));
        QWidget *console = window.window();
        console->resize(size);
        auto *area = console->findChild<QScrollArea *>();
        QVERIFY(area);
        QTRY_COMPARE(area->horizontalScrollBar()->isVisible(), horizontal);
        QCOMPARE(area->verticalScrollBar()->isVisible(), vertical);
        const int bar = area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area);
        QCOMPARE(console->size(), size.boundedTo(QSize(1102 + bar, 742 + bar)));
        QCOMPARE(area->widget()->geometry(), QRect(0, 0, 1102, 742));
        QCOMPARE(console->findChild<QWidget *>(QStringLiteral("Frame10"))->geometry(), QRect(388, 262, 420, 280));
        QCOMPARE(console->findChild<QWidget *>(QStringLiteral("Msg_Log"))->geometry(), QRect(8, 582, 1086, 152));
    }

    void logShowsAWholeLineOnHover()
    {
        OperatorWindow window(QStringLiteral("Form1"));
        auto *log = window.window()->findChild<QListView *>(QStringLiteral("Msg_Log"));
        auto *model = qobject_cast<MessageLogModel *>(log->model());
        QVERIFY(model);
        const std::string frame = "\x02" + std::string(240, '7') + "\x03";
        model->append(frame);
        model->append("\x06");
        const QString shown = QStringLiteral("<STX>") + QString(240, QLatin1Char('7')) + QStringLiteral("<ETX>");
        QVERIFY(QFontMetrics(log->font()).horizontalAdvance(shown) > log->viewport()->width());

        const QRect row = log->visualRect(model->index(0));
        QHelpEvent hover(QEvent::ToolTip, row.center(), log->viewport()->mapToGlobal(row.center()));
        QApplication::sendEvent(log->viewport(), &hover);
        QTRY_COMPARE(QToolTip::text(), shown);
    }

private:
    QWidget *windowFor(const QString &form)
    {
        auto &window = windows_[form];
        if (!window)
            window = std::make_unique<OperatorWindow>(form);
        return window->window();
    }

    std::map<QString, std::unique_ptr<OperatorWindow>> windows_;
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
