select * from ar where (ardate > 0 or ardate = -5) order by ardate
