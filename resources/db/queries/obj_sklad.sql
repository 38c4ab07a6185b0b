-- Stock on hand of one good (value: goods code) among the goods for sale.
select stav STAV from sklad where sklad_typ = 10 and idtov = ?1
