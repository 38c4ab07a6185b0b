-- Price list of samples (stock type 60) with their stock, the value (idosc) is not needed.
select t.idtov IDTOV, t.naztov1 NAZTOV1, t.naztov2 NAZTOV2, t.ean EAN, t.ean_ob EAN_OB,
       coalesce(s.stav, 0) SKLAD_STAV,
       t.cena CENA, t.dph DPH, round(t.cena * (1 + t.dph / 100.0), 2) SDPH,
       0 ZLAVA1, 0 ZLAVA2, null DATUM_OD, null DATUM_DO, 0 ZLAVA3,
       t.cena CENA1, t.cena CENA2, t.cena CENA3, 0 MAXZLA, 0 AKCZLA,
       t.mj MJ, 0 VYBRANE, t.korunka KORUNKA
from tovar t
left join sklad s on s.sklad_typ = 60 and s.idtov = t.idtov
where t.sklad_typ = 60
order by t.idtov
