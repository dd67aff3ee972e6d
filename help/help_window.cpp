#include "help_window.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <utility>

#include "help_messages.h"
#include "program_identity.h"

namespace tolvane {

namespace {

constexpr const char* kHelpScheme = "chm";

// Where the table of contents keeps an entry's object path.
constexpr int kTopicRole = Qt::UserRole;

}  // namespace

HelpBrowser::HelpBrowser(const ChmFile& help, QWidget* parent)
    : QTextBrowser(parent), m_help(help) {
    setObjectName(QStringLiteral("helpBrowser"));
}

QUrl HelpBrowser::topicUrl(const QString& objectPath) {
    QUrl url;
    url.setScheme(QString::fromLatin1(kHelpScheme));
    url.setPath(helpObjectPath(objectPath));
    return url;
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    const QUrl url = m_page.resolved(name);
    if (url.scheme() != QLatin1String(kHelpScheme)) {
        return {};
    }
    const std::optional<QByteArray> bytes = m_help.read(helpObjectPath(url.path()));
    switch (type) {
        case QTextDocument::HtmlResource:
            if (!bytes) {
                return QStringLiteral("<p>This topic is missing from the help file.</p>");
            }
            // Qt picks the text encoding from the page's own charset declaration.
            return *bytes;
        case QTextDocument::StyleSheetResource:
            return bytes ? QVariant(decodeHelpText(*bytes)) : QVariant();
        default:
            return bytes ? QVariant(*bytes) : QVariant();
    }
}

void HelpBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type) {
    const QUrl url = m_page.resolved(name);
    // A link out of the help file leads nowhere: the help has no business on the web.
    if (url.scheme() != QLatin1String(kHelpScheme)) {
        return;
    }
    m_page = url.adjusted(QUrl::RemoveFragment);
    QTextBrowser::doSetSource(url, type);
}

HelpWindow::HelpWindow(std::unique_ptr<ChmFile> help, QWidget* parent)
    : QWidget(parent, Qt::Window), m_help(std::move(help)) {
    setObjectName(QStringLiteral("helpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(m_help->title().isEmpty() ? QStringLiteral("Help") : m_help->title());

    auto* splitter = new QSplitter(this);
    m_contents = new QTreeWidget(splitter);
    m_contents->setObjectName(QStringLiteral("helpContents"));
    m_contents->setHeaderHidden(true);
    m_contents->setColumnCount(1);
    m_browser = new HelpBrowser(*m_help, splitter);
    splitter->addWidget(m_contents);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 520});

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    resize(760, 520);

    fillContents();

    connect(m_contents, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { contentsEntryChosen(current); });
    connect(m_contents, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { contentsEntryChosen(item); });
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::selectContentsEntry);
}

HelpWindow::~HelpWindow() {
    // The browser reads from the help file until it goes.
    delete m_browser;
}

void HelpWindow::showTopic(const QString& objectPath) {
    m_browser->setSource(HelpBrowser::topicUrl(objectPath));
}

void HelpWindow::showDefaultTopic() {
    showTopic(m_help->defaultTopic());
}

void HelpWindow::fillContents() {
    QList<QTreeWidgetItem*> parents;
    bool nested = false;
    for (const HelpTopic& topic : m_help->tableOfContents()) {
        nested = nested || topic.depth > 0;
        // A level skipped in a hand-written contents file hangs under the deepest one there is.
        while (parents.size() > topic.depth) {
            parents.removeLast();
        }
        auto* item = parents.isEmpty() ? new QTreeWidgetItem(m_contents)
                                       : new QTreeWidgetItem(parents.last());
        item->setText(0, topic.name);
        item->setData(0, kTopicRole, topic.local);
        parents.append(item);
    }
    // A flat list needs no room for the branch lines of a tree.
    m_contents->setRootIsDecorated(nested);
    m_contents->expandAll();
}

void HelpWindow::selectContentsEntry(const QUrl& topic) {
    const QString path = helpObjectPath(topic.path());
    const QSignalBlocker quiet(m_contents);
    for (QTreeWidgetItemIterator it(m_contents); *it != nullptr; ++it) {
        if ((*it)->data(0, kTopicRole).toString().compare(path, Qt::CaseInsensitive) == 0) {
            m_contents->setCurrentItem(*it);
            return;
        }
    }
    m_contents->setCurrentItem(nullptr);
}

void HelpWindow::contentsEntryChosen(QTreeWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    const QString path = item->data(0, kTopicRole).toString();
    if (!path.isEmpty()) {
        showTopic(path);
    }
}

HelpOpener::HelpOpener(QWidget* owner, MessageBoxes& messages)
    : m_owner(owner), m_messages(messages) {}

void HelpOpener::showHelp(const QString& chmPath) {
    if (m_window && m_window->helpFilePath() != chmPath) {
        delete m_window;
    }
    if (!m_window) {
        std::unique_ptr<ChmFile> help = ChmFile::open(chmPath);
        const std::string shownPath = QDir::toNativeSeparators(chmPath).toStdString();
        std::string problem;
        if (!QFileInfo::exists(chmPath)) {
            problem = helpFileNotFoundMessage(shownPath);
        } else if (!help || help->defaultTopic().isEmpty() || !help->read(help->defaultTopic())) {
            problem = helpFileDamagedMessage(shownPath);
        }
        if (!problem.empty()) {
            m_messages.show(problem, programTitle().toStdString(), MessageIcon::Exclamation);
            return;
        }
        m_window = new HelpWindow(std::move(help), m_owner);
    }
    m_window->showDefaultTopic();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

}  // namespace tolvane
