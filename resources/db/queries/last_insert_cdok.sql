-- Document number of the newest document header.
select cdok CDOK
from vety
where id = (select max(id) from vety)
