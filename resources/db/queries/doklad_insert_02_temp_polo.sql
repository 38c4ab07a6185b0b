-- Inserts one line of the document being posted into temp_polo: header id, IDO, IDTOV, MNOZ, DATUMSPOTREBY, POHYB, ZLAVA1, ZLAVA2, ZLAVAC.
insert into temp_polo (temp_vety_id, ido, idtov, mnoz, datumspotreby, pohyb, zlava1, zlava2, zlavac)
values (?1, nullif(?2, ''), ?3, cast(trim(?4) as real), nullif(trim(?5), ''), cast(trim(?6) as integer),
        cast(trim(?7) as real), cast(trim(?8) as real), cast(trim(?9) as real))
