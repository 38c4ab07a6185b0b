-- Inserts one line of the document being posted into temp_polo: header id, IDO, IDTOV, MNOZ, DATUMSPOTREBY, POHYB, ZLAVA1, ZLAVA2, ZLAVAC.
-- A cast reads a number past the blanks before it and stops at the first character after it, so the numbers need no trim.
insert into temp_polo (temp_vety_id, ido, idtov, mnoz, datumspotreby, pohyb, zlava1, zlava2, zlavac)
values (?1, nullif(?2, ''), ?3, cast(?4 as real), nullif(trim(?5), ''), cast(?6 as integer),
        cast(?7 as real), cast(?8 as real), cast(?9 as real))
