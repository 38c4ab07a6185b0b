-- Writes the inventory statement of gifts (stock type 40, movement code 47): values user and info, one line per batch in stock, valued at the base price, the header total and VAT being the sums of the lines as written (no turnover: it sells nothing).
insert into vety (datum, cas, str, idu, meno, pohyb, info, sumdokz, obccbd, obccsd, sumdph)
values (date('now', 'localtime'), time('now', 'localtime'),
        (select str from stredisk order by str limit 1),
        nullif(?1, ''),
        (select trim(coalesce(meno, '') || ' ' || coalesce(priezvisko, '')) from uzivatel where idu = ?1),
        47, ?2,
        0, 0, 0, 0);
update vety set cdok = id where id = (select max(id) from vety);
insert into polo (vety_id, cdok, datum, str, pohyb, sklad_typ, idtov, idtovsc, naztov1, naztov2, mj, dph, mnoz, cena,
                  zlava1, cena1, zlava2, cena2, zlavac, cenac, cena00, ccmnoz, hdphcc, ccsum, sarza, datumspotreby, ean, ean_ob, korunka)
select v.id, v.cdok, v.datum, v.str, 47, 40, t.idtov, t.idtovsc, t.naztov1, t.naztov2, t.mj, t.dph, z.stav, t.cena,
       0, t.cena, 0, t.cena, 0, t.cena, round(t.cena * (1 + t.dph / 100.0), 2),
       round(z.stav * t.cena, 2), round(round(z.stav * t.cena, 2) * t.dph / 100.0, 2),
       round(z.stav * t.cena, 2) + round(round(z.stav * t.cena, 2) * t.dph / 100.0, 2),
       z.sarza, z.datumspotreby, t.ean, t.ean_ob, t.korunka
from sklad_sarza z
join tovar t on t.idtov = z.idtov
join vety v on v.id = (select max(id) from vety)
where z.sklad_typ = 40 and z.stav <> 0
order by t.idtov, z.datumspotreby;
update vety
set sumdokz = coalesce((select sum(cast(round(p.ccsum * 100) as integer)) from polo p where p.vety_id = vety.id) / 100.0, 0),
    sumdph = coalesce((select sum(cast(round(p.hdphcc * 100) as integer)) from polo p where p.vety_id = vety.id) / 100.0, 0)
where id = (select max(id) from vety)
