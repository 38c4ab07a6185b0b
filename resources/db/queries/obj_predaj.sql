-- Quantity of one good already delivered against one order (values: order number, goods code): the lines of the cash sales and invoices written from that order, less their whole cancellations. A goods receipt made from an order brings goods into the van and delivers nothing.
with delivery(id, cdok, pohyb) as (
  select id, cdok, pohyb from vety where objcdok = ?1 and pohyb in (10, 20)),
document(id) as (
  select id from delivery
  union all
  select c.id from delivery d join vety c on c.parcdok = d.cdok and c.pohyb = d.pohyb and c.info = 'STORNO ' || d.cdok)
select sum(p.mnoz) MNOZ
from polo p
where p.vety_id in (select id from document) and p.idtov = ?2
