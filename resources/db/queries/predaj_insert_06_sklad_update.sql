-- Issue from the stock of a good (values: quantity, stock row id), a negative quantity (return) puts goods back.
update sklad set stav = stav - cast(?1 as real) where id = ?2
