#pragma once
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>

class QDialog;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;
class QToolButton;

// The frame of the program: menus, toolbar, status bar and the child windows.
class frm_Main : public QMainWindow {
    Q_OBJECT
public:
    explicit frm_Main(QWidget* parent = nullptr);
    ~frm_Main() override;

    // The frame of the running program (the newest one made), or nullptr.
    static frm_Main* Instance();

    // Refuses a second running copy of the program; false when this copy must end.
    bool Initialize();

    // A window the commands open. Windows of later parts of the program register here.
    struct WindowDef {
        std::function<QWidget*(frm_Main*)> create;
        bool modal = false;
        bool report = false; // told to load its data when opened
    };
    static void RegisterWindow(const QString& windowKey, WindowDef def);
    static bool HasWindow(const QString& windowKey);
    static void UnregisterWindow(const QString& windowKey);

    // Opens the web page of the system; tests replace it.
    static void SetUrlOpener(std::function<void(const QString&)> opener);

    QMdiArea* mdiArea() const { return m_mdi; }
    QWidget* FindWindow(const QString& windowKey) const;
    bool IsExiting() const { return m_exiting; }
    QLabel* userPanel() const { return m_userPanel; }
    QToolBar* toolBar() const { return m_toolbar; }

public slots:
    // Runs a command by its key (menu item, toolbar button or drop-down item).
    // Returns true when it opened or showed its window.
    bool RunCommand(const QString& key);
    // Opens a window by its key, one instance per window.
    QWidget* OpenWindow(const QString& windowKey);
    void ShowLogin();
    void RefreshPermissions();
    void SetUserPanel(const QString& userName);
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
    QHash<QString, QMenu*> m_menus;
    QHash<QString, QPointer<QWidget>> m_windows;
    bool m_exiting = false;
};

// The title of the product, the caption of the frame.
inline const char* const kProductTitle = "澜图仓库管理系统";
