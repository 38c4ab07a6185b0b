-- Lines of one received order (value: the order number) in their order, with the order's prices and discounts.
select p.cdok CDOK, p.idtov IDTOV, p.naztov1 NAZTOV1, p.naztov2 NAZTOV2, p.mj MJ, p.mnoz MNOZ,
       p.cena CENA, p.zlava1 ZLAVA1, p.zlava2 ZLAVA2, p.zlavac ZLAVA3, p.datumspotreby DATUMSPOTREBY
from obj_polo p
where p.cdok = ?1
order by p.id
