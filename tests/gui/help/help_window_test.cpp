#include "gui/help/help_window.h"

#include <QRegularExpression>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest>

#include "gui/help/help_contents.h"
#include "gui/help/program_resources.h"

using namespace quorvel;

namespace {

QString helpPath(const QString& page) {
    return QStringLiteral("%1/%2").arg(QString::fromUtf8(kHelpFolder), page);
}

QString pageText(const QString& page) {
    return QString::fromUtf8(resourceData(helpPath(page)));
}

QStringList contentsPages() {
    QStringList pages;
    for (const HelpTopic& topic :
         parseHelpContents(resourceData(kHelpContentsPath).toStdString())) {
        pages << QString::fromStdString(topic.page);
    }
    return pages;
}

}  // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void contentsListEveryPageOnce();
    void everyLinkLeadsToAPageAndAnchorThatExist_data();
    void everyLinkLeadsToAPageAndAnchorThatExist();
    void showContentsOpensTheFirstTopicThenKeepsThePageRead();
    void choosingATopicShowsItsPageAndFollowingALinkSelectsItsTopic();
    void escapeAndCtrlWClose_data();
    void escapeAndCtrlWClose();
};

void HelpWindowTest::contentsListEveryPageOnce() {
    const QStringList pages = contentsPages();
    QVERIFY(pages.size() >= 8);
    QCOMPARE(QStringList(pages).removeDuplicates(), 0);
    for (const QString& page : pages) {
        QVERIFY2(pageText(page).contains(QStringLiteral("<h1>")), qPrintable(page));
    }
    HelpWindow window;
    int items = 0;
    for (QTreeWidgetItemIterator it(&window.contents()); *it != nullptr; ++it) {
        ++items;
    }
    QCOMPARE(items, pages.size());
}

void HelpWindowTest::everyLinkLeadsToAPageAndAnchorThatExist_data() {
    QTest::addColumn<QString>("page");
    for (const QString& page : contentsPages()) {
        QTest::newRow(qPrintable(page)) << page;
    }
}

void HelpWindowTest::everyLinkLeadsToAPageAndAnchorThatExist() {
    QFETCH(QString, page);
    static const QRegularExpression link(QStringLiteral("href=\"([^\"#]*)(?:#([^\"]*))?\""));
    const QStringList pages = contentsPages();
    for (const QRegularExpressionMatch& match : link.globalMatch(pageText(page))) {
        const QString target = match.captured(1).isEmpty() ? page : match.captured(1);
        QVERIFY2(pages.contains(target), qPrintable(target));
        if (!match.captured(2).isEmpty()) {
            const QString anchor = QStringLiteral("name=\"%1\"").arg(match.captured(2));
            QVERIFY2(pageText(target).contains(anchor),
                     qPrintable(target + "#" + match.captured(2)));
        }
    }
}

void HelpWindowTest::showContentsOpensTheFirstTopicThenKeepsThePageRead() {
    HelpWindow window;
    QVERIFY(!window.isVisible());
    window.showContents();
    QVERIFY(window.isVisible());
    QCOMPARE(window.page().source().fileName(), contentsPages().first());
    QVERIFY(!window.page().toPlainText().isEmpty());

    auto& contents = window.contents();
    contents.setCurrentItem(contents.topLevelItem(2));
    const QString read = window.page().source().fileName();
    QVERIFY(read != contentsPages().first());
    window.close();
    window.showContents();
    QCOMPARE(window.page().source().fileName(), read);
}

void HelpWindowTest::choosingATopicShowsItsPageAndFollowingALinkSelectsItsTopic() {
    HelpWindow window;
    window.showContents();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto& contents = window.contents();
    QTreeWidgetItem* messages =
        contents.findItems(QStringLiteral("Messages"), Qt::MatchExactly).value(0);
    QVERIFY(messages != nullptr);
    QTest::mouseClick(contents.viewport(), Qt::LeftButton, {},
                      contents.visualItemRect(messages).center());
    QCOMPARE(window.page().source().fileName(), QStringLiteral("messages.html"));
    QVERIFY(window.page().toPlainText().contains(QStringLiteral("-----Failed-----")));

    auto& browser = window.page();
    browser.setSource(QUrl(QStringLiteral("messages-t.html")));
    QCOMPARE(contents.currentItem()->data(0, Qt::UserRole).toString(),
             QStringLiteral("messages-t.html"));
    QVERIFY(browser.toPlainText().contains(
        QStringLiteral("Failure to find Delta in 10,000 iterations.")));
}

void HelpWindowTest::escapeAndCtrlWClose_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier);
    QTest::newRow("Ctrl+W") << int(Qt::Key_W) << int(Qt::ControlModifier);
}

// From the page being read as from the contents.
void HelpWindowTest::escapeAndCtrlWClose() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    HelpWindow window;
    for (QWidget* focus :
         {static_cast<QWidget*>(&window.page()), static_cast<QWidget*>(&window.contents())}) {
        window.showContents();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(!window.isVisible());
    }
}

QTEST_MAIN(HelpWindowTest)
#include "help_window_test.moc"
