#include "WindowScenes.h"

#include "Logging.h"
#include "SwitcherModel.h"
#include "WindowFactories.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

namespace {

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(Shell)
};

// The top-level window around a scene's root view. It counts itself open from its first
// appearance until it is gone (closing deletes it).
class SceneWindow final : public QWidget {
public:
    SceneWindow(SwitcherModel &model, const SceneSpec &scene) : m_model(model)
    {
        setAttribute(Qt::WA_DeleteOnClose);
        setObjectName(scene.id);
        setWindowTitle(scene.title);
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        QWidget *root = scene.makeRoot ? scene.makeRoot(model) : nullptr;
        if (!root) {
            root = new QLabel(Tr::tr("This window could not be made."));
            qCWarning(lcUi, "scene \"%s\" made no view", qUtf8Printable(scene.id));
        }
        layout->addWidget(root);
        if (!scene.minimumSize.isEmpty())
            setMinimumSize(scene.minimumSize.expandedTo(minimumSizeHint()));
        resize(scene.defaultSize.expandedTo(minimumSizeHint()));
    }

    ~SceneWindow() override
    {
        if (m_appeared)
            m_model.windowDisappeared();
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        if (!m_appeared) {
            m_appeared = true;
            m_model.windowAppeared();
        }
        QWidget::showEvent(event);
    }

private:
    SwitcherModel &m_model;
    bool m_appeared = false;
};

} // namespace

QList<SceneSpec> standardScenes()
{
    return {
        //: Window title of the Rate Library window.
        {QStringLiteral("learned"), Tr::tr("Rate Library"), QSize(1080, 700), QSize(1000, 640),
         makeLearnedRatesWindow},
        {QStringLiteral("history"), Tr::tr("Playback History"), QSize(960, 520), QSize(),
         makePlaybackHistoryWindow},
        {QStringLiteral("timing"), Tr::tr("Switch Method Visualizer"), QSize(860, 760), QSize(720, 520),
         makeSwitchTimingWindow},
    };
}

WindowScenes::WindowScenes(SwitcherModel &model, QList<SceneSpec> scenes, QObject *parent)
    : QObject(parent), m_model(model), m_scenes(std::move(scenes))
{
}

WindowScenes::~WindowScenes()
{
    closeAll();
}

bool WindowScenes::hasScene(const QString &id) const
{
    return std::any_of(m_scenes.cbegin(), m_scenes.cend(),
                       [&](const SceneSpec &scene) { return scene.id == id; });
}

QWidget *WindowScenes::openWindow(const QString &id)
{
    if (QWidget *open = window(id)) {
        if (open->isMinimized())
            open->showNormal();
        open->show();
        open->raise();
        open->activateWindow();
        return open;
    }
    const auto scene =
        std::find_if(m_scenes.cbegin(), m_scenes.cend(), [&](const SceneSpec &s) { return s.id == id; });
    if (scene == m_scenes.cend()) {
        qCWarning(lcUi, "no window with the id \"%s\"", qUtf8Printable(id));
        return nullptr;
    }
    auto *created = new SceneWindow(m_model, *scene);
    m_windows.insert(id, created);
    m_order.removeAll(id);
    m_order.append(id);
    connect(created, &QObject::destroyed, this, [this, id] {
        m_windows.remove(id);
        m_order.removeAll(id);
        emit windowClosed(id);
    });
    created->show();
    created->activateWindow();
    qCInfo(lcUi, "window \"%s\" opened", qUtf8Printable(id));
    emit windowOpened(id);
    return created;
}

void WindowScenes::closeWindow(const QString &id)
{
    if (QWidget *open = window(id))
        open->close();
}

void WindowScenes::closeAll()
{
    const QStringList ids = m_order;
    for (const QString &id : ids) {
        if (QWidget *open = window(id)) {
            open->close();
            delete m_windows.value(id).data(); // close() defers the delete; quit may not wait
        }
    }
}

QWidget *WindowScenes::window(const QString &id) const
{
    return m_windows.value(id).data();
}

QStringList WindowScenes::openWindowIds() const
{
    QStringList ids;
    for (const QString &id : m_order) {
        if (window(id))
            ids.append(id);
    }
    return ids;
}

void WindowScenes::activate()
{
    if (m_order.isEmpty())
        return;
    if (QWidget *last = window(m_order.constLast())) {
        last->raise();
        last->activateWindow();
    }
}
