#include "run_report_window.h"

#include "form_common.h"
#include "log/log.h"
#include "platform/platform.h"
#include "state/globals.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <array>

namespace {

// The pack's key for each outcome, in the order of the enum.
constexpr std::array<const char*, OutcomeCount> OutcomeKeys{
    "OUTCOMEINSTALLED",  "OUTCOMEREPLACED",  "OUTCOMEREFUSED", "OUTCOMEFAILED",
    "OUTCOMEUNHANDLED",  "OUTCOMESKIPPED",   "OUTCOMERUN",     "OUTCOMEINSTALLER",
    "OUTCOMEBADARCHIVE", "OUTCOMELEFTPACKED"};

QString Text(const char* key) {
    return G().CurLang.SeeByName(QLatin1String(key));
}

} // namespace

QString OutcomeText(Outcome outcome) {
    return Text(OutcomeKeys[static_cast<std::size_t>(outcome)]);
}

namespace {
// Room for the name of a dropped file and a folder or two above it.
constexpr int FileColumnWidth = 260;
} // namespace

RunReportWindow::RunReportWindow(const RunReport& report, QWidget* parent)
    : QDialog(parent), report_(report), filter_(new QComboBox(this)), list_(new QTreeWidget(this)) {
    setWindowTitle(AppTitle + QStringLiteral(" - ") + Text("REPORTTITLE"));
    Forms::TakeMainIcon(this, parent);
    auto* layout = new QVBoxLayout(this);

    // The counts of what happened, only the outcomes that came up.
    auto* counts = new QGridLayout;
    int row = 0;
    for (int i = 0; i < OutcomeCount; ++i) {
        const int n = report_.Count(static_cast<Outcome>(i));
        if (n == 0)
            continue;
        auto* name = new QLabel(OutcomeText(static_cast<Outcome>(i)), this);
        auto* count = new QLabel(QString::number(n), this);
        count->setObjectName(QStringLiteral("count%1").arg(i));
        count->setAlignment(Qt::AlignRight);
        counts->addWidget(name, row / 2, (row % 2) * 2);
        counts->addWidget(count, row / 2, (row % 2) * 2 + 1);
        ++row;
    }
    // The pairs stay together at the left, however wide the window.
    counts->setHorizontalSpacing(12);
    counts->setColumnStretch(4, 1);
    layout->addLayout(counts);

    filter_->setObjectName(QStringLiteral("filter"));
    filter_->addItem(Text("REPORTALL"), -1);
    for (int i = 0; i < OutcomeCount; ++i) {
        if (report_.Count(static_cast<Outcome>(i)) > 0)
            filter_->addItem(OutcomeText(static_cast<Outcome>(i)), i);
    }
    connect(filter_, &QComboBox::currentIndexChanged, this, &RunReportWindow::Fill);
    layout->addWidget(filter_);

    list_->setObjectName(QStringLiteral("list"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({Text("REPORTFILE"), Text("REPORTWHAT"), Text("REPORTDETAIL")});
    list_->header()->setStretchLastSection(true);
    // Paths lose their middle, not the file name at their end.
    list_->setTextElideMode(Qt::ElideMiddle);
    layout->addWidget(list_, 1);

    auto* buttons = new QDialogButtonBox(this);
    auto* downloads = buttons->addButton(Text("REPORTOPENDOWNLOADS"), QDialogButtonBox::ActionRole);
    downloads->setObjectName(QStringLiteral("openDownloads"));
    connect(downloads, &QPushButton::clicked, this,
            [] { platform::shell().OpenAddress(QUrl::fromLocalFile(G().SimsPath).toString()); });
    auto* log = buttons->addButton(Text("REPORTOPENLOG"), QDialogButtonBox::ActionRole);
    log->setObjectName(QStringLiteral("openLog"));
    connect(log, &QPushButton::clicked, this, [] {
        platform::shell().OpenAddress(QUrl::fromLocalFile(Error_Mod::LogFilePath()).toString());
    });
    auto* copy = buttons->addButton(Text("REPORTCOPY"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("copyList"));
    connect(copy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(ListText()); });
    buttons->addButton(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    Fill();
    resize(640, 420);
}

void RunReportWindow::Fill() {
    const int shown = filter_->currentData().toInt();
    list_->clear();
    for (const ReportLine& line : report_.lines) {
        if (shown >= 0 && static_cast<int>(line.outcome) != shown)
            continue;
        auto* item =
            new QTreeWidgetItem(list_, {line.file, OutcomeText(line.outcome), line.detail});
        item->setToolTip(0, line.file);
        item->setToolTip(2, line.detail);
    }
    list_->resizeColumnToContents(1);
    list_->setColumnWidth(0, FileColumnWidth);
}

QString RunReportWindow::ListText() const {
    QString text;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list_->topLevelItem(i);
        text += item->text(0) + QLatin1Char('\t') + item->text(1);
        if (!item->text(2).isEmpty())
            text += QLatin1Char('\t') + item->text(2);
        text += QLatin1Char('\n');
    }
    return text;
}
