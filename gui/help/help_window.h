#pragma once

#include <QWidget>

class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;

namespace quorvel {

// The program's help: a window with the table of contents on the left and the chosen page on
// the right. The pages and the table of contents are compiled into the program; links between
// pages are followed in the window, and the contents follow the page shown. Escape and Ctrl+W
// close it.
class HelpWindow : public QWidget {
    Q_OBJECT

  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the window in front with its table of contents, on the first topic the first time
    // and on the page last read afterwards.
    void showContents();
    // Shows the window in front on one of the help's pages (a file name: "history.html").
    void showPage(const QString& page);

    QTreeWidget& contents() const { return *contents_; }
    QTextBrowser& page() const { return *page_; }

  private:
    void fillContents();
    void bringToFront();
    void openTopic(QTreeWidgetItem* item);
    void selectTopicOf(const QUrl& page);

    QTreeWidget* contents_;
    QTextBrowser* page_;
};

}  // namespace quorvel
