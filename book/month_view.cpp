#include "book/month_view.h"

#include "book/month_days_table.h"
#include "book/month_texts.h"

#ifdef COMZELTA_WITH_CHARTS
#include "book/month_drift_chart.h"
#endif

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

MonthView::MonthView(QWidget *parent)
    : QWidget(parent), products_(new QComboBox(this)), summary_(new QLabel(this)), table_(new MonthDaysTable(this))
{
    setObjectName(QStringLiteral("Mes"));
    products_->setObjectName(QStringLiteral("Produto"));
    products_->setAccessibleName(QStringLiteral("Produto"));
    auto *productLabel = new QLabel(QStringLiteral("Produto:"), this);
    productLabel->setBuddy(products_);
    summary_->setObjectName(QStringLiteral("Resumo"));
    summary_->setAccessibleName(QStringLiteral("Resumo do mês"));
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    table_->setObjectName(QStringLiteral("Dias"));
    table_->setAccessibleName(QStringLiteral("Dias do mês"));

    auto *choice = new QHBoxLayout;
    choice->addWidget(productLabel);
    choice->addWidget(products_);
    choice->addSpacing(12);
    choice->addWidget(summary_, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(choice);
#ifdef COMZELTA_WITH_CHARTS
    chart_ = new MonthDriftChart(this);
    chart_->setObjectName(QStringLiteral("Grafico"));
    chart_->setAccessibleName(QStringLiteral("Gráfico do mês"));
    chart_->setMinimumHeight(260);
    // Full width for the chart: a month's thirty day labels need it.
    layout->addWidget(chart_, 3);
    layout->addWidget(table_, 2);
#else
    auto *noChart = new QLabel(QStringLiteral("Gráfico indisponível: este console foi compilado sem o Qt Charts. "
                                              "Os dias do mês estão na tabela abaixo."),
                               this);
    noChart->setObjectName(QStringLiteral("Grafico"));
    noChart->setWordWrap(true);
    layout->addWidget(noChart);
    layout->addWidget(table_, 1);
#endif

    connect(products_, &QComboBox::currentTextChanged, this, [this](const QString &product) {
        showChosen();
        emit productChanged(product);
    });
}

void MonthView::setMonth(const QList<MonthProduct> &month, const QList<QDate> &closedDays)
{
    month_ = month;
    closedDays_ = closedDays;
    const QString chosen = products_->currentText();
    QStringList names;
    for (const MonthProduct &product : month)
        names << product.product;
    {
        // The new month is shown once, below, whichever product it ends on.
        const QSignalBlocker quiet(products_);
        products_->clear();
        products_->addItems(names);
        products_->setCurrentIndex(std::max(0, int(names.indexOf(chosen))));
    }
    showChosen();
    if (products_->currentText() != chosen)
        emit productChanged(products_->currentText());
}

void MonthView::setProduct(const QString &product)
{
    const int index = products_->findText(product);
    if (index >= 0)
        products_->setCurrentIndex(index);
}

QString MonthView::product() const
{
    return products_->currentText();
}

void MonthView::showChosen()
{
    const int index = products_->currentIndex();
    const MonthProduct product = index >= 0 ? month_.at(index) : MonthProduct{};
    summary_->setText(index >= 0 ? monthSummaryText(product) : QStringLiteral("Nenhum dia no mês."));
    table_->setProduct(product, closedDays_);
#ifdef COMZELTA_WITH_CHARTS
    chart_->setProduct(product, closedDays_);
#endif
}
