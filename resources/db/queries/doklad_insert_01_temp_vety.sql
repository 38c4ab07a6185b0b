-- Inserts the header of the document being posted into temp_vety under the row id its document will have in vety: IDU, IDO, INFO, KM, FACVSET, FACNAS, TRASA, POHYB, DATUM3, SUMDOKZ, PARCDOK, OBJCDOK.
insert into temp_vety (id, idu, ido, info, km, facvset, facnas, trasa, pohyb, datum3, sumdokz, parcdok, objcdok, datum, cas, str)
values ((select coalesce((select seq from sqlite_sequence where name = 'vety'), (select max(id) from vety), 0) + 1),
        nullif(?1, ''), nullif(?2, ''), ?3, nullif(trim(?4), ''), nullif(trim(?5), ''), ?6, ?7, cast(trim(?8) as integer), ?9,
        cast(trim(?10) as real), nullif(trim(?11), ''), nullif(trim(?12), ''),
        date('now', 'localtime'), time('now', 'localtime'), (select str from stredisk order by str limit 1))
