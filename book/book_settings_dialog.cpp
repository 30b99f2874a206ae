#include "book/book_settings_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("Configurar Bicos");

template <class Field>
Field *named(const QString &name, QWidget *parent)
{
    auto *field = new Field(parent);
    field->setObjectName(name);
    field->setAccessibleName(name);
    return field;
}

} // namespace

BookSettingsDialog::BookSettingsDialog(const BookSetup &setup, QWidget *parent)
    : QDialog(parent), settings_(setup.settings)
{
    const ClosingSettings &settings = setup.settings;
    setObjectName(QStringLiteral("Configurar_Bicos"));
    setWindowTitle(Title);
    setAccessibleName(Title);
    const QLocale brazilian(QLocale::Portuguese, QLocale::Brazil);

    closingHour_ = named<QTimeEdit>(QStringLiteral("Hora_Fechamento"), this);
    closingHour_->setDisplayFormat(QStringLiteral("HH:mm"));
    closingHour_->setTime(settings.closingHour);
    tolerance_ = named<QDoubleSpinBox>(QStringLiteral("Tolerancia"), this);
    tolerance_->setLocale(brazilian);
    tolerance_->setRange(0, 100);
    tolerance_->setDecimals(2);
    tolerance_->setSuffix(QStringLiteral(" %"));
    tolerance_->setValue(settings.tolerancePercent);
    base_ = named<QComboBox>(QStringLiteral("Base"), this);
    base_->addItems({QStringLiteral("do volume disponível"), QStringLiteral("do estoque físico")});
    base_->setCurrentIndex(settings.toleranceBase == ToleranceBase::Available ? 0 : 1);
    volume_ = named<QComboBox>(QStringLiteral("Volume"), this);
    volume_->addItems({QStringLiteral("ambiente"), QStringLiteral("a 20 °C")});
    volume_->setCurrentIndex(settings.volumeBasis == VolumeBasis::Measured ? 0 : 1);
    digits_ = named<QSpinBox>(QStringLiteral("Digitos"), this);
    digits_->setRange(3, 12);
    digits_->setValue(settings.totaliserDigits);
    cnpj_ = named<QLineEdit>(QStringLiteral("CNPJ"), this);
    cnpj_->setInputMask(QStringLiteral("99.999.999/9999-99;_"));
    cnpj_->setText(settings.cnpj);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Hora do fechamento:"), closingHour_);
    auto *tolerance = new QHBoxLayout;
    tolerance->addWidget(tolerance_);
    tolerance->addWidget(base_, 1);
    form->addRow(QStringLiteral("Tolerância:"), tolerance);
    form->addRow(QStringLiteral("Volume:"), volume_);
    form->addRow(QStringLiteral("Dígitos dos encerrantes:"), digits_);
    form->addRow(QStringLiteral("CNPJ do posto:"), cnpj_);

    nozzles_ = named<QTableWidget>(QStringLiteral("Cadastro_Bicos"), this);
    nozzles_->setColumnCount(3);
    nozzles_->setHorizontalHeaderLabels({QStringLiteral("Bico"), QStringLiteral("Bomba"), QStringLiteral("Tanque")});
    nozzles_->verticalHeader()->hide();
    for (const NozzleRecord &nozzle : setup.nozzles)
        if (nozzle.active)
            addRow(nozzle);
    auto *add = new QPushButton(QStringLiteral("Inserir Bico"), this);
    add->setObjectName(QStringLiteral("Inserir_Bico"));
    auto *remove = new QPushButton(QStringLiteral("Excluir Bico"), this);
    remove->setObjectName(QStringLiteral("Excluir_Bico"));
    connect(add, &QPushButton::clicked, this, [this] { addRow(NozzleRecord{}); });
    connect(remove, &QPushButton::clicked, this, [this] { nozzles_->removeRow(nozzles_->currentRow()); });
    auto *rowButtons = new QHBoxLayout;
    rowButtons->addWidget(add);
    rowButtons->addWidget(remove);
    rowButtons->addStretch(1);

    products_ = named<QTableWidget>(QStringLiteral("Produtos_Notas"), this);
    products_->setColumnCount(2);
    products_->setHorizontalHeaderLabels({QStringLiteral("Nome na nota"), QStringLiteral("Produto do livro")});
    products_->verticalHeader()->hide();
    products_->horizontalHeader()->setStretchLastSection(true);
    for (auto product = setup.products.cbegin(); product != setup.products.cend(); ++product) {
        const int row = products_->rowCount();
        products_->insertRow(row);
        auto *supplierName = new QTableWidgetItem(product.key());
        supplierName->setFlags(supplierName->flags() & ~Qt::ItemIsEditable);
        products_->setItem(row, 0, supplierName);
        products_->setItem(row, 1, new QTableWidgetItem(product.value()));
    }
    auto *addProduct = new QPushButton(QStringLiteral("Inserir Produto"), this);
    addProduct->setObjectName(QStringLiteral("Inserir_Produto"));
    connect(addProduct, &QPushButton::clicked, this, [this] {
        products_->insertRow(products_->rowCount());
        for (int column = 0; column < 2; ++column)
            products_->setItem(products_->rowCount() - 1, column, new QTableWidgetItem);
    });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(nozzles_, 1);
    layout->addLayout(rowButtons);
    layout->addWidget(products_, 1);
    layout->addWidget(addProduct, 0, Qt::AlignLeft);
    layout->addWidget(buttons);
    resize(520, 640);
}

void BookSettingsDialog::addRow(const NozzleRecord &nozzle)
{
    const int row = nozzles_->rowCount();
    nozzles_->insertRow(row);
    const QList<int> values{nozzle.nozzle, nozzle.pump.value_or(0), nozzle.tank};
    for (int column = 0; column < values.size(); ++column)
        nozzles_->setItem(row, column, new QTableWidgetItem(values[column] > 0 ? QString::number(values[column]) : QString()));
}

void BookSettingsDialog::accept()
{
    QList<NozzleRecord> nozzles;
    QList<int> numbers;
    for (int row = 0; row < nozzles_->rowCount(); ++row) {
        QList<int> values;
        for (int column = 0; column < 3; ++column) {
            const QTableWidgetItem *item = nozzles_->item(row, column);
            bool whole = false;
            const int value = item ? item->text().trimmed().toInt(&whole) : 0;
            // A pump is optional: not every station numbers them.
            values << (whole && value > 0 ? value : column == 1 && (!item || item->text().trimmed().isEmpty()) ? 0 : -1);
        }
        if (values.contains(-1) || values[0] == 0 || values[2] == 0 || numbers.contains(values[0])) {
            refuse(QStringLiteral("Bicos"), row,
                   QStringLiteral("cada bico precisa de um número só seu e do número do tanque de onde tira, inteiros "
                                  "positivos; a bomba é opcional"));
            return;
        }
        numbers << values[0];
        nozzles << NozzleRecord{values[0], values[1] > 0 ? std::optional<int>(values[1]) : std::nullopt, values[2], true};
    }
    QMap<QString, QString> products;
    for (int row = 0; row < products_->rowCount(); ++row) {
        const QString supplierName = products_->item(row, 0) ? products_->item(row, 0)->text().trimmed() : QString();
        const QString product = products_->item(row, 1) ? products_->item(row, 1)->text().trimmed() : QString();
        if (supplierName.isEmpty() && product.isEmpty())
            continue;
        if (supplierName.isEmpty() || product.isEmpty()) {
            refuse(QStringLiteral("Produtos"), row, QStringLiteral("diga o nome na nota e o produto do livro"));
            return;
        }
        products.insert(supplierName, product);
    }
    ClosingSettings settings = settings_;
    settings.closingHour = closingHour_->time();
    settings.tolerancePercent = tolerance_->value();
    settings.toleranceBase = base_->currentIndex() == 0 ? ToleranceBase::Available : ToleranceBase::Physical;
    settings.volumeBasis = volume_->currentIndex() == 0 ? VolumeBasis::Measured : VolumeBasis::At20C;
    settings.totaliserDigits = digits_->value();
    settings.cnpj = cnpj_->text().remove(QRegularExpression(QStringLiteral("\\D")));
    emit saved(BookSetup{settings, nozzles, products});
    QDialog::accept();
}

void BookSettingsDialog::refuse(const QString &table, int row, const QString &rule)
{
    QMessageBox::warning(this, Title, QStringLiteral("%1, linha %2: %3.").arg(table).arg(row + 1).arg(rule));
}
