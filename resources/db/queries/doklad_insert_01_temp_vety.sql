-- Inserts the header of the document being posted into temp_vety: IDU, IDO, INFO, KM, FACVSET, FACNAS, TRASA, POHYB, DATUM3, SUMDOKZ, PARCDOK, OBJCDOK.
insert into temp_vety (idu, ido, info, km, facvset, facnas, trasa, pohyb, datum3, sumdokz, parcdok, objcdok, datum, cas, str)
values (nullif(?1, ''), nullif(?2, ''), ?3, nullif(trim(?4), ''), nullif(trim(?5), ''), ?6, ?7, cast(trim(?8) as integer), ?9,
        cast(trim(?10) as real), nullif(trim(?11), ''), nullif(trim(?12), ''),
        date('now', 'localtime'), time('now', 'localtime'), (select str from stredisk order by str limit 1))
