#include "gui/help/help_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QShortcut>
#include <QSplitter>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QUrl>
#include <vector>

#include "gui/help/help_contents.h"
#include "gui/help/program_resources.h"

namespace quorvel {

namespace {

constexpr int kPageRole = Qt::UserRole;
constexpr QSize kInitialSize{860, 600};
constexpr int kContentsWidth = 280;

QUrl pageUrl(const QString& page) {
    return QUrl(QStringLiteral("qrc%1/%2").arg(QString::fromUtf8(kHelpFolder), page));
}

}  // namespace

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), contents_(new QTreeWidget), page_(new QTextBrowser) {
    setWindowTitle(tr("Quorvel Help"));
    setWindowIcon(programIcon());

    contents_->setHeaderHidden(true);
    contents_->setRootIsDecorated(true);
    page_->setOpenExternalLinks(true);

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(contents_);
    splitter->addWidget(page_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({kContentsWidth, kInitialSize.width() - kContentsWidth});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    resize(kInitialSize);

    fillContents();
    connect(contents_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { openTopic(current); });
    connect(page_, &QTextBrowser::sourceChanged, this, &HelpWindow::selectTopicOf);

    // Escape and Ctrl+W close it, as they close a viewer's window.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        auto* close = new QShortcut(keys, this);
        close->setContext(Qt::WindowShortcut);
        connect(close, &QShortcut::activated, this, &QWidget::close);
    }
}

void HelpWindow::fillContents() {
    const std::vector<HelpTopic> topics =
        parseHelpContents(resourceData(kHelpContentsPath).toStdString());
    // The last item of each depth so far: the parent of the next topic one level deeper.
    std::vector<QTreeWidgetItem*> lastAtDepth;
    for (const HelpTopic& topic : topics) {
        const auto depth = static_cast<std::size_t>(topic.depth);
        auto* item = depth == 0 ? new QTreeWidgetItem(contents_)
                                : new QTreeWidgetItem(lastAtDepth[depth - 1]);
        item->setText(0, QString::fromStdString(topic.title));
        item->setData(0, kPageRole, QString::fromStdString(topic.page));
        lastAtDepth.resize(depth);
        lastAtDepth.push_back(item);
    }
    contents_->expandAll();
}

void HelpWindow::showContents() {
    if (page_->source().isEmpty() && contents_->topLevelItemCount() > 0) {
        contents_->setCurrentItem(contents_->topLevelItem(0));
    }
    bringToFront();
}

void HelpWindow::showPage(const QString& page) {
    page_->setSource(pageUrl(page));
    bringToFront();
}

void HelpWindow::bringToFront() {
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

void HelpWindow::openTopic(QTreeWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    const QUrl url = pageUrl(item->data(0, kPageRole).toString());
    // A page already shown, perhaps at an anchor, stays where it is.
    if (page_->source().path() != url.path()) {
        page_->setSource(url);
    }
}

void HelpWindow::selectTopicOf(const QUrl& page) {
    const QString fileName = page.fileName();
    for (QTreeWidgetItemIterator it(contents_); *it != nullptr; ++it) {
        if ((*it)->data(0, kPageRole).toString() == fileName) {
            contents_->setCurrentItem(*it);
            return;
        }
    }
}

}  // namespace quorvel
