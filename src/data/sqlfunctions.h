#pragma once
struct sqlite3;

// Registers the Access functions the translated statements call (acc_cat,
// acc_format, acc_val, acc_cstr, acc_mid, acc_right, acc_pow, acc_idiv,
// acc_mod) on a connection.
void registerAccessFunctions(sqlite3* db);
