-- Price list of goods (stock type 10) for one customer establishment (value: idosc): the customer's price list, else the base price, with stock and the customer's standing discount as document discount.
select t.idtov IDTOV, t.naztov1 NAZTOV1, t.naztov2 NAZTOV2, t.ean EAN, t.ean_ob EAN_OB,
       coalesce(s.stav, 0) SKLAD_STAV,
       coalesce(c.cena, t.cena) CENA, t.dph DPH,
       round(coalesce(c.cena, t.cena) * (1 + t.dph / 100.0), 2) SDPH,
       coalesce(c.zlava1, 0) ZLAVA1,
       case when date('now', 'localtime') between c.datum_od and c.datum_do then c.akczla else 0 end ZLAVA2,
       c.datum_od DATUM_OD, c.datum_do DATUM_DO,
       coalesce(o.zlava, 0) ZLAVA3,
       round(coalesce(c.cena, t.cena) * (1 - coalesce(c.zlava1, 0) / 100.0), 3) CENA1,
       round(coalesce(c.cena, t.cena) * (1 - coalesce(c.zlava1, 0) / 100.0)
             * (1 - (case when date('now', 'localtime') between c.datum_od and c.datum_do then c.akczla else 0 end) / 100.0), 3) CENA2,
       round(coalesce(c.cena, t.cena) * (1 - coalesce(c.zlava1, 0) / 100.0)
             * (1 - (case when date('now', 'localtime') between c.datum_od and c.datum_do then c.akczla else 0 end) / 100.0)
             * (1 - coalesce(o.zlava, 0) / 100.0), 3) CENA3,
       coalesce(c.maxzla, o.zlmax, 0) MAXZLA,
       coalesce(c.akczla, 0) AKCZLA,
       t.mj MJ, 0 VYBRANE, t.korunka KORUNKA
from tovar t
left join (select idosc, zlava, zlmax, cennik from odberatel where idosc = ?1) o on 1 = 1
left join cennik c on c.idtov = t.idtov and c.cislo = coalesce(o.cennik, 1)
left join sklad s on s.sklad_typ = 10 and s.idtov = t.idtov
where t.sklad_typ = 10
order by t.idtov
