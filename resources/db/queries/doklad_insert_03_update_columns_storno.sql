-- Column fixes of the cancellation of a cash sale (value: header id): as for goods, but each line keeps the price at which the good left on the parent document.
update temp_vety
set idosc = (select o.idosc from odberatel o where o.ido = temp_vety.ido order by o.id limit 1),
    idopl = (select o.idopl from odberatel o where o.ido = temp_vety.ido order by o.id limit 1),
    ico = (select o.ico from odberatel o where o.ido = temp_vety.ido order by o.id limit 1),
    meno = (select trim(coalesce(u.meno, '') || ' ' || coalesce(u.priezvisko, '')) from uzivatel u where u.idu = temp_vety.idu),
    ctl = (select o.ctlac from odberatel o where o.ido = temp_vety.ido order by o.id limit 1)
where id = ?1;
update temp_polo
set sklad_typ = 10,
    datum = (select datum from temp_vety where id = ?1),
    str = (select str from temp_vety where id = ?1),
    idtovsc = (select t.idtovsc from tovar t where t.idtov = temp_polo.idtov),
    naztov1 = (select t.naztov1 from tovar t where t.idtov = temp_polo.idtov),
    naztov2 = (select t.naztov2 from tovar t where t.idtov = temp_polo.idtov),
    mj = (select t.mj from tovar t where t.idtov = temp_polo.idtov),
    ean = (select t.ean from tovar t where t.idtov = temp_polo.idtov),
    ean_ob = (select t.ean_ob from tovar t where t.idtov = temp_polo.idtov),
    korunka = (select t.korunka from tovar t where t.idtov = temp_polo.idtov),
    dph = (select t.dph from tovar t where t.idtov = temp_polo.idtov),
    cena = coalesce(
        cena,
        (select p.cena from polo p
          where p.cdok = (select v.parcdok from temp_vety v where v.id = ?1) and p.idtov = temp_polo.idtov
          order by p.id limit 1),
        (select t.cena from tovar t where t.idtov = temp_polo.idtov)),
    zlava1 = coalesce(zlava1, 0), zlava2 = coalesce(zlava2, 0), zlavac = coalesce(zlavac, 0),
    sarza = (select z.sarza from sklad_sarza z where z.sklad_typ = 10 and z.idtov = temp_polo.idtov
              and z.datumspotreby is temp_polo.datumspotreby order by z.id limit 1)
where temp_vety_id = ?1;
with
-- Exact prices and amounts in whole units: the price is read to the mill, the
-- discount and VAT rates to the hundredth of a percent (100 % = 10000) and the
-- quantity to the thousandth, each through its millionths. Every discount step
-- rounds to the mill, the amount, its VAT and the unit price with VAT to the
-- cent, always halves away from zero, and the line total is amount plus VAT.
-- Each step is materialised, so that no step computes the one before it again.
read as materialized (
  select id,
         (cast(abs(round(cena * 1000000)) as integer) + 500) / 1000 * (case when cena < 0 then -1 else 1 end) as price,
         (cast(abs(round(zlava1 * 1000000)) as integer) + 5000) / 10000 * (case when zlava1 < 0 then -1 else 1 end) as z1,
         (cast(abs(round(zlava2 * 1000000)) as integer) + 5000) / 10000 * (case when zlava2 < 0 then -1 else 1 end) as z2,
         (cast(abs(round(zlavac * 1000000)) as integer) + 5000) / 10000 * (case when zlavac < 0 then -1 else 1 end) as z3,
         (cast(abs(round(dph * 1000000)) as integer) + 5000) / 10000 * (case when dph < 0 then -1 else 1 end) as dph,
         (cast(abs(round(mnoz * 1000000)) as integer) + 500) / 1000 * (case when mnoz < 0 then -1 else 1 end) as q
  from temp_polo where temp_vety_id = ?1),
first as materialized (
  select id, q, dph, z2, z3, (abs(price * (10000 - z1)) + 5000) / 10000 * (case when price * (10000 - z1) < 0 then -1 else 1 end) as c1 from read),
second as materialized (
  select id, q, dph, z3, c1, (abs(c1 * (10000 - z2)) + 5000) / 10000 * (case when c1 * (10000 - z2) < 0 then -1 else 1 end) as c2 from first),
third as materialized (
  select id, q, dph, c1, c2, (abs(c2 * (10000 - z3)) + 5000) / 10000 * (case when c2 * (10000 - z3) < 0 then -1 else 1 end) as c3 from second),
amounts as materialized (
  select id, dph, c1, c2, c3,
         (abs(q * c3) + 5000) / 10000 * (case when q * c3 < 0 then -1 else 1 end) as amount,
         (abs(c3 * (10000 + dph)) + 50000) / 100000 * (case when c3 * (10000 + dph) < 0 then -1 else 1 end) as sdph
  from third),
x as materialized (
  select id, c1, c2, c3, amount, sdph, (abs(dph * amount) + 5000) / 10000 * (case when dph * amount < 0 then -1 else 1 end) as vat from amounts)
update temp_polo
set cena1 = x.c1 / 1000.0,
    cena2 = x.c2 / 1000.0,
    cenac = x.c3 / 1000.0,
    ccmnoz = x.amount / 100.0,
    cena00 = x.sdph / 100.0,
    hdphcc = x.vat / 100.0,
    ccsum = (x.amount + x.vat) / 100.0
from x
where temp_polo.id = x.id;
update temp_vety
-- Header totals are the sums of the lines as written, added in cents.
set sumdph = coalesce((select sum(cast(round(p.hdphcc * 100) as integer)) from temp_polo p where p.temp_vety_id = ?1) / 100.0, 0),
    obccbd = case when pohyb in (10, 20, 21, 30, 31)
                  then coalesce((select sum(cast(round(p.ccmnoz * 100) as integer)) from temp_polo p where p.temp_vety_id = ?1) / 100.0, 0) else 0 end,
    obccsd = case when pohyb in (10, 20, 21, 30, 31)
                  then coalesce((select sum(cast(round(p.ccsum * 100) as integer)) from temp_polo p where p.temp_vety_id = ?1) / 100.0, 0) else 0 end,
    sumdokz_korunka = case when pohyb in (10, 20, 21, 30, 31)
                  then coalesce((select sum(cast(round(p.ccsum * 100) as integer)) from temp_polo p where p.temp_vety_id = ?1 and upper(p.korunka) = 'ANO') / 100.0, 0) else 0 end,
    sumdokz = coalesce((select sum(cast(round(p.ccsum * 100) as integer)) from temp_polo p where p.temp_vety_id = ?1) / 100.0, 0)
where id = ?1
