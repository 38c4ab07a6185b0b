-- Writes a cash deposit (movement code 7): values user, text, km, facvset, amount, parent document (first statement only).
insert into vety (datum, cas, str, idu, meno, pohyb, info, km, facvset, sumdokz, parcdok, obccbd, obccsd, sumdph)
values (date('now', 'localtime'), time('now', 'localtime'),
        (select str from stredisk order by str limit 1),
        nullif(?1, ''),
        (select trim(coalesce(meno, '') || ' ' || coalesce(priezvisko, '')) from uzivatel where idu = ?1),
        7, ?2, nullif(trim(?3), ''), nullif(trim(?4), ''), cast(trim(?5) as real), nullif(trim(?6), ''), 0, 0, 0);
update vety set cdok = id where id = (select max(id) from vety);
