#pragma once

#include <QPointer>
#include <QString>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

#include <memory>

#include "chm_file.h"
#include "message_boxes.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace tolvane {

// Shows topics of a compiled help file; the topics' style sheets, pictures and links are read
// from the same file. Nothing outside the help file is loaded.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT

public:
    explicit HelpBrowser(const ChmFile& help, QWidget* parent = nullptr);

    // The address of a topic of the help file, such as chm:/index.htm.
    static QUrl topicUrl(const QString& objectPath);

    QVariant loadResource(int type, const QUrl& name) override;

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;

private:
    const ChmFile& m_help;
    QUrl m_page;  // the topic shown; its relative references are resolved against it
};

// The program's help window: the table of contents beside the topic.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    HelpWindow(std::unique_ptr<ChmFile> help, QWidget* parent = nullptr);
    ~HelpWindow() override;

    void showTopic(const QString& objectPath);
    void showDefaultTopic();

    QString helpFilePath() const { return m_help->path(); }
    HelpBrowser* browser() const { return m_browser; }
    QTreeWidget* contents() const { return m_contents; }

private:
    void fillContents();
    void selectContentsEntry(const QUrl& topic);
    void contentsEntryChosen(QTreeWidgetItem* item);

    std::unique_ptr<ChmFile> m_help;
    HelpBrowser* m_browser;
    QTreeWidget* m_contents;
};

// The way to the help from the main window: F1 and "Content". One help window per program,
// brought to the front and turned to the default topic whenever the help is asked for again.
class HelpOpener {
public:
    // owner: the main window; the help window stays in front of it and goes with it.
    HelpOpener(QWidget* owner, MessageBoxes& messages);

    // Shows the help file at its default topic. A help file that is missing or cannot be read
    // is reported in a message box instead, and no window opens.
    void showHelp(const QString& chmPath);

    // The open help window, if any.
    HelpWindow* window() const { return m_window; }

private:
    QWidget* m_owner;
    MessageBoxes& m_messages;
    QPointer<HelpWindow> m_window;
};

}  // namespace tolvane
