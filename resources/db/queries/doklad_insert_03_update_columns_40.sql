-- Column fixes of a gift receipt or issue (value: header id): gift data, their value in points as the price, and for an issue the points spent are booked on the customer's loyalty account.
update temp_vety
set idosc = (select o.idosc from odberatel o where o.ido = temp_vety.ido order by o.id limit 1),
    idopl = (select o.idopl from odberatel o where o.ido = temp_vety.ido order by o.id limit 1),
    ico = (select o.ico from odberatel o where o.ido = temp_vety.ido order by o.id limit 1),
    meno = (select trim(coalesce(u.meno, '') || ' ' || coalesce(u.priezvisko, '')) from uzivatel u where u.idu = temp_vety.idu),
    ctl = (select o.ctlac from odberatel o where o.ido = temp_vety.ido order by o.id limit 1)
where id = ?1;
update temp_polo
set sklad_typ = 40,
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
    cena = (select t.cena from tovar t where t.idtov = temp_polo.idtov),
    zlava1 = coalesce(zlava1, 0), zlava2 = coalesce(zlava2, 0), zlavac = coalesce(zlavac, 0),
    sarza = (select z.sarza from sklad_sarza z where z.sklad_typ = 40 and z.idtov = temp_polo.idtov
              and z.datumspotreby is temp_polo.datumspotreby order by z.id limit 1)
where temp_vety_id = ?1;
update temp_polo
set cena1 = round(cena * (1 - zlava1 / 100.0), 3)
where temp_vety_id = ?1;
update temp_polo
set cena2 = round(cena1 * (1 - zlava2 / 100.0), 3)
where temp_vety_id = ?1;
update temp_polo
set cenac = round(cena2 * (1 - zlavac / 100.0), 3)
where temp_vety_id = ?1;
update temp_polo
set ccmnoz = round(mnoz * cenac, 2),
    cena00 = round(cenac * (1 + dph / 100.0), 2)
where temp_vety_id = ?1;
update temp_polo
set hdphcc = round(dph / 100.0 * ccmnoz, 2)
where temp_vety_id = ?1;
update temp_polo
set ccsum = ccmnoz + hdphcc
where temp_vety_id = ?1;
update temp_vety
set sumdph = coalesce((select sum(p.hdphcc) from temp_polo p where p.temp_vety_id = ?1), 0),
    obccbd = case when pohyb in (10, 20, 21, 30, 31)
                  then coalesce((select sum(p.ccmnoz) from temp_polo p where p.temp_vety_id = ?1), 0) else 0 end,
    obccsd = case when pohyb in (10, 20, 21, 30, 31)
                  then coalesce((select sum(p.ccsum) from temp_polo p where p.temp_vety_id = ?1), 0) else 0 end,
    sumdokz_korunka = case when pohyb in (10, 20, 21, 30, 31)
                  then coalesce((select sum(p.ccsum) from temp_polo p where p.temp_vety_id = ?1 and upper(p.korunka) = 'ANO'), 0) else 0 end,
    sumdokz = coalesce((select round(sum(p.ccsum), 2) from temp_polo p where p.temp_vety_id = ?1), 0)
where id = ?1
;
update korunka
set dary = dary + coalesce((select sum(p.ccmnoz) from temp_polo p where p.temp_vety_id = ?1), 0)
where idosc = (select v.idosc from temp_vety v where v.id = ?1)
  and (select v.pohyb from temp_vety v where v.id = ?1) = 44
