#pragma once

// The application's window scenes: each id names a window whose root view is made anew from the
// shared model every time it opens; opening an open window brings it forward.

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;
class SwitcherModel;

struct SceneSpec {
    QString id;
    QString title;
    QSize defaultSize;
    QSize minimumSize; // empty: whatever the content needs
    std::function<QWidget *(SwitcherModel &)> makeRoot;
};

// "learned", "history" and "timing", with their titles, sizes and root views.
QList<SceneSpec> standardScenes();

class WindowScenes final : public QObject {
    Q_OBJECT
public:
    WindowScenes(SwitcherModel &model, QList<SceneSpec> scenes, QObject *parent = nullptr);
    ~WindowScenes() override;

    const QList<SceneSpec> &scenes() const { return m_scenes; }
    bool hasScene(const QString &id) const;

    // Opens the window or brings it forward; null for an unknown id.
    QWidget *openWindow(const QString &id);
    void closeWindow(const QString &id);
    void closeAll();
    QWidget *window(const QString &id) const;
    // Open windows, in the order they were opened.
    QStringList openWindowIds() const;
    // Brings the most recently opened window forward.
    void activate();

signals:
    void windowOpened(const QString &id);
    void windowClosed(const QString &id);

private:
    SwitcherModel &m_model;
    QList<SceneSpec> m_scenes;
    QHash<QString, QPointer<QWidget>> m_windows;
    QStringList m_order;
};
