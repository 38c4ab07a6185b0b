-- Schema of trekora.db3.
CREATE TABLE sqliteadmin_queries (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  name TEXT NOT NULL UNIQUE,
  sql TEXT
);
