-- Quantity of one good already delivered against one order (values: order number, goods code): the lines of the documents written from that order.
select sum(p.mnoz) MNOZ
from polo p
join vety v on v.id = p.vety_id
where v.objcdok = ?1 and p.idtov = ?2
