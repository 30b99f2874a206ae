// What a screen reader finds in each window: every group, box, list, grid and button it can
// reach has a name of its own, distinct from the names of the objects beside it, and a group is
// named by its title.
#include "operator_windows.h"

#include <QAccessible>
#include <QGroupBox>
#include <QTest>

namespace {

bool needsName(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Grouping:
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::PushButton:
    case QAccessible::RadioButton:
    case QAccessible::CheckBox:
        return true;
    default:
        return false;
    }
}

// An item view's children are its cells, named by their text.
bool holdsWidgets(QAccessible::Role role)
{
    return role != QAccessible::List && role != QAccessible::Table;
}

// A group is read out by the title it shows; Qt would otherwise take the title of the group
// around it.
QString groupTitle(QAccessibleInterface *object)
{
    const auto *group = qobject_cast<const QGroupBox *>(object->object());
    return group ? group->title().trimmed() : QString();
}

QString describe(QAccessibleInterface *object)
{
    return object->object() ? object->object()->objectName() : QStringLiteral("?");
}

// Adds a line to `faults` for each nameless object and each name said twice among siblings.
void walk(QAccessibleInterface *parent, QStringList &faults)
{
    QHash<QString, QString> siblings;
    for (int i = 0; i < parent->childCount(); ++i) {
        QAccessibleInterface *child = parent->child(i);
        if (!child || child->state().invisible)
            continue;
        const QAccessible::Role role = child->role();
        if (needsName(role)) {
            const QString name = child->text(QAccessible::Name).trimmed();
            if (name.isEmpty())
                faults << QStringLiteral("%1 sem nome").arg(describe(child));
            else if (const QString title = groupTitle(child); !title.isEmpty() && name != title)
                faults << QStringLiteral("%1 chamado \"%2\", não \"%3\"").arg(describe(child), name, title);
            else if (siblings.contains(name))
                faults << QStringLiteral("%1 e %2 chamados \"%3\"").arg(siblings[name], describe(child), name);
            else
                siblings.insert(name, describe(child));
        }
        if (holdsWidgets(role))
            walk(child, faults);
    }
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void everyControlHasItsOwnName_data()
    {
        QTest::addColumn<QString>("form");
        for (const QString &form : OperatorWindow::forms())
            QTest::newRow(qPrintable(form)) << form;
    }

    void everyControlHasItsOwnName()
    {
        QFETCH(QString, form);
        OperatorWindow window(form);
        QAccessibleInterface *root = QAccessible::queryAccessibleInterface(window.window());
        QVERIFY(root);
        QStringList faults;
        walk(root, faults);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
