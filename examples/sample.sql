-- examples/sample.sql: the sample database of the demo, a small shop's
-- customers, their orders and the documents filed for them. Its values hold
-- what a text export must get right: accented and non-Latin text (German,
-- French, Japanese, Russian), a character outside the Basic Multilingual
-- Plane (the emoji, which code page 1252 cannot hold), embedded quotes,
-- semicolons, commas and tabs, line breaks (CR LF and LF alone), leading and
-- trailing blanks, empty texts and NULLs, and a first field named ID.

CREATE TABLE customers (
    ID INTEGER PRIMARY KEY,
    name TEXT NOT NULL,
    contact TEXT,
    street TEXT,
    postcode TEXT,
    city TEXT,
    country TEXT,
    phone TEXT,
    email TEXT,
    credit_limit REAL,
    customer_since TEXT,
    notes TEXT
);

INSERT INTO customers VALUES
 (1, 'Müller & Söhne GmbH', 'Jürgen Müller', 'Königsallee 12', '40212', 'Düsseldorf', 'Deutschland',
  '+49 211 555-0134', 'j.mueller@mueller-soehne.example', 25000.0, '2009-03-17',
  'Zahlung per Lastschrift; Skonto 2 %'),
 (2, '株式会社山田商事', '山田 太郎', '千代田区丸の内1-9-1', '100-0005', '東京都', '日本',
  '+81 3-5555-0199', 'yamada@yamada-shoji.example', 1500000.0, '2015-06-01',
  '請求書は月末締め、翌月払い。'),
 (3, 'ООО «Ромашка»', 'Ольга Смирнова', 'ул. Тверская, д. 7', '125009', 'Москва', 'Россия',
  '+7 495 555-01-77', 'o.smirnova@romashka.example', 800000.0, '2018-11-23',
  'Доставка только по будним дням'),
 (4, 'Gasthaus "Zum Goldenen Hirsch"', 'Anna Huber', 'Marktplatz 3', '5020', 'Salzburg', 'Österreich',
  NULL, 'info@goldener-hirsch.example', 5000.0, '2021-02-08',
  'Stammkunde, liefert nur vormittags'),
 (5, 'Café de l''Élysée', 'Éloïse Lefèvre', '8, rue du Faubourg Saint-Honoré', '75008', 'Paris', 'France',
  '+33 1 55 55 01 23', NULL, 12000.5, '2012-09-30',
  'Rechnung an:' || char(13, 10) || 'Comptabilité' || char(13, 10) || 'Bâtiment B'),
 (6, '  Nordwind Logistik  ', 'Sven Petersen', 'Am Sandtorkai 40', '20457', 'Hamburg', 'Deutschland',
  '+49 40 555-0177', 'dispo@nordwind.example', NULL, '2023-01-15',
  'Lieferung per LKW 🚚, Rampe 4'),
 (7, 'Smith, Jones & Co.', 'Emily Smith', '221 Baker Street', 'NW1 6XE', 'London', 'United Kingdom',
  '+44 20 5555 0101', 'emily@smithjones.example', 7500.0, '2019-07-04', NULL),
 (8, 'Bäckerei Weiß', 'Grete Weiß', 'Hauptstraße 5', '79098', 'Freiburg im Breisgau', 'Deutschland',
  '+49 761 555-0150', '', 0.0, '2024-05-02', ''),
 (9, 'Nordic Tools AB', 'Lars Öberg', 'Sveavägen 44', '111 34', 'Stockholm', 'Sverige',
  '+46 8 555 012 34', 'order@nordictools.example', 30000.0, '2020-10-12',
  'Artikelnummern:' || char(9) || 'NT-100' || char(9) || 'NT-200');

CREATE TABLE orders (
    order_no INTEGER PRIMARY KEY,
    customer_id INTEGER REFERENCES customers(ID),
    order_date TEXT,
    item TEXT,
    quantity INTEGER,
    unit_price REAL,
    currency TEXT,
    status TEXT,
    comment TEXT
);

INSERT INTO orders VALUES
 (10001, 1, '2024-01-08', 'Kaffeemaschine „Barista Pro“', 2, 649.0, 'EUR', 'geliefert', NULL),
 (10002, 1, '2024-01-08', 'Entkalker, 6er-Pack', 10, 12.5, 'EUR', 'geliefert', 'Teillieferung; Rest folgt'),
 (10003, 2, '2024-02-14', '緑茶 500g', 40, 1980.0, 'JPY', '出荷済み', '包装は簡易包装で'),
 (10004, 3, '2024-02-20', 'Ручка шариковая, синяя', 500, 0.35, 'EUR', 'в пути', NULL),
 (10005, 4, '2024-03-01', 'Palette "Euro" 120x80', 4, 15.0, 'EUR', 'offen',
  'Bitte klingeln.' || char(13, 10) || 'Hintereingang benutzen.'),
 (10006, 5, '2024-03-11', 'Croissant-Backblech', 12, 23.9, 'EUR', 'offen', 'Livraison avant 9 h'),
 (10007, 6, '2024-03-12', ' Schrauben M6 ', 1000000, 0.01, 'EUR', 'geliefert', 'Zeile eins' || char(10) || 'Zeile zwei'),
 (10008, 7, '2024-04-02', 'Tea towels, "Union Jack"', 25, 4.99, 'GBP', 'shipped', NULL),
 (10009, 1, '2024-04-15', 'Gutschrift Barista Pro', -1, -649.0, 'EUR', 'gebucht', 'Rücksendung, Gerät defekt'),
 (10010, 9, '2024-05-06', 'Schraubendreher-Satz', 60, 18.75, 'SEK', 'offen', ''),
 (10011, 8, '2024-05-07', 'Brotkörbe aus Weide', 15, 7.2, 'EUR', 'storniert', NULL),
 (10012, 2, '2024-06-03', '湯呑み 🍵 セット', 8, 3500.0, 'JPY', '受注', NULL);

CREATE TABLE documents (
    id INTEGER PRIMARY KEY,
    customer_id INTEGER REFERENCES customers(ID),
    title TEXT,
    path TEXT,
    created TEXT,
    author TEXT,
    pages INTEGER,
    summary TEXT
);

-- The paths are relative, with the backslash as separator: each record is
-- exported to a file of its own, named after its path.
INSERT INTO documents VALUES
 (1, 1, 'Angebot 2024-017', 'documents\Angebot 2024-017.docx', '2024-01-03', 'K. Schneider', 3,
  'Angebot über 2 Kaffeemaschinen <Barista Pro> inkl. Aufbau & Einweisung'),
 (2, 1, 'Rechnung R-2024.0815', 'documents\Rechnung R-2024.0815.pdf', '2024-01-20', 'Buchhaltung', 1,
  'Zahlbar bis 2024-02-19; Skonto 2 %'),
 (3, 2, '見積書 2024年3月', 'documents\見積書_2024-03.xlsx', '2024-02-10', '山田 太郎', 2,
  '緑茶の年間契約の見積もり'),
 (4, 3, 'Договор № 45', 'documents\Договор 45.pdf', '2024-02-18', 'Ольга Смирнова', 12,
  'Рамочный договор на поставку канцтоваров'),
 (5, 4, 'Lieferschein "Euro"-Paletten', 'documents\Lieferschein 10005', '2024-03-02', 'Lager', 1,
  'Paletten ''Euro'' 120x80, 4 Stück' || char(13, 10) || 'Empfang bestätigt: A. Huber'),
 (6, 6, 'Frachtbrief', NULL, '2024-03-13', '  Disposition  ', NULL,
  'Transport 🚚 Hamburg → Freiburg'),
 (7, 7, 'Order confirmation', 'documents\Order 10008.txt', '2024-04-02', 'E. Smith', 1, NULL);

-- A view is no table: it is exported only when named with --table.
CREATE VIEW open_orders AS
    SELECT o.order_no, c.name AS customer, o.item, o.quantity
    FROM orders o JOIN customers c ON c.ID = o.customer_id
    WHERE o.status = 'offen';
