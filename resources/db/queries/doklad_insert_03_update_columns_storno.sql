-- Column fixes of the cancellation of a cash sale (value: header id): as for goods, but each line keeps the price at which the good left on the parent document.
-- The header's customer data are those of the establishment it already names
-- (the one the document is written for), else of the customer's first one.
update temp_vety
set (idosc, idopl, ico, ctl) = (
      select o.idosc, o.idopl, o.ico, o.ctlac from odberatel o
      where o.id = coalesce((select min(e.id) from odberatel e where e.ido = temp_vety.ido and e.idosc = temp_vety.idosc),
                            (select min(e.id) from odberatel e where e.ido = temp_vety.ido))),
    meno = (select trim(coalesce(u.meno, '') || ' ' || coalesce(u.priezvisko, '')) from uzivatel u where u.idu = temp_vety.idu)
where id = ?1;
-- The lines: the good's data and batch code, and from the price the exact
-- prices and amounts in whole units: the price is read to the mill, the
-- discount and VAT rates to the hundredth of a percent (100 % = 10000) and the
-- quantity to the thousandth, each through its millionths. Every discount step
-- rounds to the mill, the amount, its VAT and the unit price with VAT to the
-- cent, always halves away from zero, and the line total is amount plus VAT.
-- Each step is a subquery run once per line, whose OFFSET keeps it from being
-- folded into the step after it (which would compute it again for every use).
update temp_polo
set sklad_typ = 10,
    (datum, str) = (select datum, str from temp_vety where id = ?1),
    -- The good's data in one lookup (all empty when the good is unknown).
    (idtovsc, naztov1, naztov2, mj, ean, ean_ob, korunka, dph) =
        (select t.idtovsc, t.naztov1, t.naztov2, t.mj, t.ean, t.ean_ob, t.korunka, t.dph
         from tovar t where t.idtov = temp_polo.idtov),
    zlava1 = coalesce(zlava1, 0), zlava2 = coalesce(zlava2, 0), zlavac = coalesce(zlavac, 0),
    sarza = (select z.sarza from sklad_sarza z where z.sklad_typ = 10 and z.idtov = temp_polo.idtov
              and z.datumspotreby is temp_polo.datumspotreby order by z.id limit 1),
    -- The price and all that follows from it, worked out from the values this
    -- statement writes (price, discounts, the good's VAT rate).
    (cena, cena1, cena2, cenac, ccmnoz, cena00, hdphcc, ccsum) = (
      select cena, c1 / 1000.0, c2 / 1000.0, c3 / 1000.0, amount / 100.0, sdph / 100.0, vat / 100.0, (amount + vat) / 100.0
      from (
        select cena, c1, c2, c3, amount, sdph, (abs(dph * amount) + 5000) / 10000 * (case when dph * amount < 0 then -1 else 1 end) as vat
        from (
          select cena, dph, c1, c2, c3,
                 (abs(q * c3) + 5000) / 10000 * (case when q * c3 < 0 then -1 else 1 end) as amount,
                 (abs(c3 * (10000 + dph)) + 50000) / 100000 * (case when c3 * (10000 + dph) < 0 then -1 else 1 end) as sdph
          from (
            select cena, q, dph, c1, c2, (abs(c2 * (10000 - z3)) + 5000) / 10000 * (case when c2 * (10000 - z3) < 0 then -1 else 1 end) as c3
            from (
              select cena, q, dph, z3, c1, (abs(c1 * (10000 - z2)) + 5000) / 10000 * (case when c1 * (10000 - z2) < 0 then -1 else 1 end) as c2
              from (
                select cena, q, dph, z2, z3, (abs(price * (10000 - z1)) + 5000) / 10000 * (case when price * (10000 - z1) < 0 then -1 else 1 end) as c1
                from (
                  select cena,
                         (cast(abs(round(cena * 1000000)) as integer) + 500) / 1000 * (case when cena < 0 then -1 else 1 end) as price,
                         (cast(abs(round(zlava1 * 1000000)) as integer) + 5000) / 10000 * (case when zlava1 < 0 then -1 else 1 end) as z1,
                         (cast(abs(round(zlava2 * 1000000)) as integer) + 5000) / 10000 * (case when zlava2 < 0 then -1 else 1 end) as z2,
                         (cast(abs(round(zlavac * 1000000)) as integer) + 5000) / 10000 * (case when zlavac < 0 then -1 else 1 end) as z3,
                         (cast(abs(round(dph * 1000000)) as integer) + 5000) / 10000 * (case when dph < 0 then -1 else 1 end) as dph,
                         (cast(abs(round(mnoz * 1000000)) as integer) + 500) / 1000 * (case when mnoz < 0 then -1 else 1 end) as q
                  from (
                    select coalesce(
                            temp_polo.cena,
                            (select p.cena from polo p
                              where p.cdok = (select v.parcdok from temp_vety v where v.id = ?1) and p.idtov = temp_polo.idtov
                              order by p.id limit 1),
                            (select t.cena from tovar t where t.idtov = temp_polo.idtov)) as cena,
                           coalesce(temp_polo.zlava1, 0) as zlava1, coalesce(temp_polo.zlava2, 0) as zlava2,
                           coalesce(temp_polo.zlavac, 0) as zlavac,
                           (select t.dph from tovar t where t.idtov = temp_polo.idtov) as dph, temp_polo.mnoz as mnoz
                    limit -1 offset 0)
                  limit -1 offset 0)
                limit -1 offset 0)
              limit -1 offset 0)
            limit -1 offset 0)
          limit -1 offset 0)
        limit -1 offset 0))
where temp_vety_id = ?1;
update temp_vety
-- Header totals are the sums of the lines as written, added in cents, all
-- taken in one pass over the lines.
set (sumdph, obccbd, obccsd, sumdokz_korunka, sumdokz) = (
  select coalesce(sum(cast(round(p.hdphcc * 100) as integer)) / 100.0, 0),
         case when temp_vety.pohyb in (10, 20, 21, 30, 31)
              then coalesce(sum(cast(round(p.ccmnoz * 100) as integer)) / 100.0, 0) else 0 end,
         case when temp_vety.pohyb in (10, 20, 21, 30, 31)
              then coalesce(sum(cast(round(p.ccsum * 100) as integer)) / 100.0, 0) else 0 end,
         case when temp_vety.pohyb in (10, 20, 21, 30, 31)
              then coalesce(sum(case when upper(p.korunka) = 'ANO' then cast(round(p.ccsum * 100) as integer) end) / 100.0, 0)
              else 0 end,
         coalesce(sum(cast(round(p.ccsum * 100) as integer)) / 100.0, 0)
  from temp_polo p where p.temp_vety_id = ?1)
where id = ?1
