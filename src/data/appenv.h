#pragma once
// The program folder and the ways the program ends or beeps, replaceable in tests.

#include <QString>
#include <QStringList>
#include <functional>

// The folder of the running program with a trailing "/".
QString AppPath();
// Points the program folder elsewhere (tests, the administrator's tool).
void SetAppPath(const QString& folder);

// The package's name: the folder name under the user's configuration, data,
// cache and state folders, under /etc and under the installed share folder.
inline constexpr const char kPackageName[] = "wms";
// The one organisation name of the three programs (each keeps its own
// application name); their folders are named by kPackageName, whatever
// the names.
void SetUpProgramNames();

// Where the program keeps its files, decided from the program folder: a
// program folder holding linkDB.ini, wms.mdb or a "portable" marker keeps
// everything itself (as a build's bin folder does); an installed program
// uses the user's folders. Changing the program folder decides again.
enum class Layout { ProgramFolder, Installed };
Layout CurrentLayout();

// Every folder below ends with "/"; in the program-folder layout each is
// AppPath(). The installed layout makes a folder when it is first asked for.
//
// The linkDB.ini to read: the user's configuration folder's, else the
// site-wide one under /etc, else the user's (which need not exist).
QString ConfigFile();
// The database, its backups and the window sizes.
QString DataFolder();
// Generated print data and spreadsheets.
QString CacheFolder();
// The log files: $XDG_STATE_HOME/wms (~/.local/state/wms) when installed.
QString LogFolder();
// The installed read-only files: <bin>/../share/wms/.
QString ShareFolder();
// A print template (under kxPrint/templeteXml/): the user's own copy in the
// data folder, else the installed one; in the program-folder layout the
// program folder's. Folders to search, first wins, for the print tool.
QStringList TemplateFolders();
QString TemplateFile(const QString& name);

// Asks the program's top to end the program at once, telling the user the
// reason when there is one: the window side installs a handler that leaves
// the event loops, tests one that records or throws. When the handler
// returns, the caller must stop what it is doing.
void EndProgram(int exitCode = 1, const QString& reason = QString());
// The program's top ends the process (telling the user the reason, when there
// is one); without a handler nothing ends here and the caller's failure (a
// thrown DbError) carries on.
void SetEndProgramHandler(std::function<void(int exitCode, const QString& reason)> handler);

// The warning sound of refused key strokes.
void Beep();
void SetBeepHandler(std::function<void()> handler);
