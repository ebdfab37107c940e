#pragma once
// Users of the system, the password hash and the logged-in user.

#include "data/results.h"
#include "data/sqlvalue.h"

#include <QString>

struct m_user {
    int id = 0;
    QString user;
    QString pw;
    QString usex;
    bool isstart = false; // read as true for a stored Null
    int dictionaryId = 0;
    QString department;
};

// The password every new user starts with.
inline const QString kDefaultPassword = QStringLiteral("888");

// The password hash of older files: characters 9 to 24 of the lower-case MD5
// text of the password's UTF-8 bytes. Still accepted at login, and replaced
// by the salted form at that successful check.
QString MD5(const QString& password);

// Stored passwords: salted PBKDF2-HMAC-SHA256 as
// "pbkdf2$ITERATIONS$SALT$HASH" (salt and hash in base64).
namespace PasswordHash {
inline constexpr int kIterations = 100000;
// A new stored form of the password with a fresh random salt.
QString Make(const QString& password, int iterations = kIterations);
// True when the password matches the stored form (the salted one or the old hash).
bool Verify(const QString& password, const QString& stored);
// True for the old unsalted hash.
bool IsLegacy(const QString& stored);
} // namespace PasswordHash

// The logged-in user for the whole run (id 0 before anybody has logged in).
m_user& CurrentUser();

class dal_user {
public:
    void Add(const m_user& model);
    m_user GetModel(int id);
    // Another user (not id) with this name; an empty model when none.
    m_user GetModelForUser(int id, const QString& name);
    // The user with this name and password; an empty model when none
    // matches. The password is checked here, not in SQL; an old hash that
    // matches is replaced by the salted form.
    m_user GetModelForPw(const QString& name, const QString& password);
    // The logged-in user's record when the password is theirs (the lock
    // screen and the password change); an empty model otherwise.
    m_user GetCurrentForPw(const QString& password);
    m_DBresult Delete(int id);
    // Stores the hash of the plain password held in model.pw.
    void UpdatePw(const m_user& model);
    void Update(const m_user& model);

private:
    m_user readModel(const QString& where);
    StringBulider m_sql;
    SqlParams m_params;
};
