-- Receipt into the stock of a good (values: quantity, stock row id).
update sklad set stav = stav + cast(?1 as real) where id = ?2
