-- tests/host/data/tiny.sql: the host's test database. A value of every
-- SQLite type, the texts that a conversion to UTF-16 can get wrong, a table
-- without rows, a table whose name holds a ".", a view, and in the table raw
-- the bytes that are no valid UTF-8.

CREATE TABLE customers (ID INTEGER PRIMARY KEY, name TEXT, "Straße" TEXT, balance REAL, big INTEGER, path TEXT);
INSERT INTO customers VALUES
 (1, 'Müller & Söhne', 'Königsallee 1', 1234.5, 9223372036854775807, 'letters\mueller.doc'),
 (2, '山田 🚚 太郎', NULL, -0.25, -9223372036854775808, NULL),
 (3, ' Tab' || char(9) || '"quoted"' || char(13, 10) || 'next ', '', 1e100, 0, '');

CREATE TABLE orders (order_no INTEGER, customer INTEGER, item TEXT);
INSERT INTO orders VALUES (10, 1, 'Tee'), (11, 3, 'Kaffee');

CREATE TABLE empty (a, b);

CREATE TABLE "v1.2" (note TEXT);
INSERT INTO "v1.2" VALUES ('a table whose name holds a dot');

-- Read as UTF-8, so they differ in a UTF-16 database.
CREATE TABLE raw (what TEXT, value);
INSERT INTO raw VALUES
 ('blob', x'48690a'),
 ('empty blob', x''),
 ('lone continuation byte', CAST(x'418042' AS TEXT)),
 ('truncated sequence at the end', CAST(x'41F09F9A' AS TEXT)),
 ('encoded surrogate', CAST(x'EDA080' AS TEXT)),
 ('embedded NUL', CAST(x'410042' AS TEXT));

CREATE VIEW rich AS SELECT name FROM customers WHERE balance > 1000;
