-- Writes the daily closing (movement code 90): values user, text, km, facvset (first statement only), the closing carries the day's cash total and closes every open document, itself included, under the next closing number.
insert into vety (datum, cas, str, idu, meno, pohyb, info, km, facvset, sumdokz, obccbd, obccsd, sumdph)
values (date('now', 'localtime'), time('now', 'localtime'),
        (select str from stredisk order by str limit 1),
        nullif(?1, ''),
        (select trim(coalesce(meno, '') || ' ' || coalesce(priezvisko, '')) from uzivatel where idu = ?1),
        90, ?2, nullif(trim(?3), ''), nullif(trim(?4), ''),
        -- the day's sums, added in cents: an invoice or credit note settled in cash counts
        -- when it is written, so a cash payment made against it is not counted again
        coalesce((select sum(cast(round(d.sumdokz * 100) as integer)) from vety d
                  where d.ducis is null
                    and (d.pohyb in (7, 8, 10) or (d.pohyb in (20, 21) and d.facvset = 1)
                         or (d.pohyb = 6 and not exists (select 1 from vety f where f.cdok = d.parcdok
                                                          and f.pohyb in (20, 21) and f.facvset = 1)))) / 100.0, 0),
        coalesce((select sum(cast(round(obccbd * 100) as integer)) from vety where ducis is null) / 100.0, 0),
        coalesce((select sum(cast(round(obccsd * 100) as integer)) from vety where ducis is null) / 100.0, 0),
        coalesce((select sum(cast(round(sumdph * 100) as integer)) from vety
                  where ducis is null and pohyb in (10, 20, 21, 30, 31)) / 100.0, 0));
update vety set cdok = id where id = (select max(id) from vety);
update vety set ducis = (select coalesce(max(ducis), 0) + 1 from vety) where ducis is null
