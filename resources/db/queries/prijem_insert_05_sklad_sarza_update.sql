-- Receipt into an expiry batch (values: quantity, batch id).
update sklad_sarza set stav = stav + cast(?1 as real) where id = ?2
