#pragma once
// Recomputes the stored pinyin initials of every goods and partner name in
// one transaction (after the rules for the initials have changed); returns
// how many rows changed. Engine errors are thrown as DbError.
int RefreshStoredPinyin();
