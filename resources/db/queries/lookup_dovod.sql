-- No-sale reasons in menu order.
select dovod DOVOD
from dovod
order by poradie, id
