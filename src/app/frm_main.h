#pragma once
#include <QHash>
#include <QMainWindow>
#include <functional>

class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;

// The frame of the program: menus, toolbar, status bar, and the area in
// which the windows of the registry open. Only the entry procedure knows it.
class frm_Main : public QMainWindow {
    Q_OBJECT
public:
    explicit frm_Main(QWidget* parent = nullptr);
    ~frm_Main() override;

    // Refuses a second running copy of the program; false when this copy must end.
    bool Initialize();
    // Shows the frame at the size it had when it was last closed; maximised the first time.
    void ShowAtLastSize();
    // The file in the program folder that keeps the frame's size.
    static QString LayoutFile();

    // Opens the web page of the system; tests replace it.
    static void SetUrlOpener(std::function<void(const QString&)> opener);

    QMdiArea* mdiArea() const { return m_mdi; }
    bool IsExiting() const { return m_exiting; }
    QLabel* userPanel() const { return m_userPanel; }
    QLabel* expiryPanel() const { return m_expiryPanel; }
    QToolBar* toolBar() const { return m_toolbar; }

public slots:
    // Runs a command by its key (menu item, toolbar button or drop-down item).
    // Returns true when it opened or showed its window.
    bool RunCommand(const QString& key);
    void ShowLogin();
    void RefreshPermissions();
    void SetUserPanel(const QString& userName);
    // The status bar's count of lots expiring within the warning days
    // (shown to users who may open their report).
    void RefreshExpiryPanel();
    // Closes every window but the frame.
    void CloseAllChildren();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct Command {
        QString key;
        QString text;
        QString code;      // function code tested first; empty: none
        QString windowKey; // window opened; empty: a special command
    };
    static const QList<Command>& commands();
    const Command* findCommand(const QString& key) const;
    void buildMenus();
    void buildToolBar();
    void updateCommandStates();
    QMenu* menu(const QString& key) const { return m_menus.value(key); }

    QMdiArea* m_mdi;
    QToolBar* m_toolbar;
    QLabel* m_userPanel;
    QLabel* m_expiryPanel;
    QHash<QString, QMenu*> m_menus;
    bool m_exiting = false;
};
