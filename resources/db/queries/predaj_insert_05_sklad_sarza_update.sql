-- Issue from an expiry batch (values: quantity, batch id), a negative quantity (return) puts goods back.
update sklad_sarza set stav = stav - cast(?1 as real) where id = ?2
