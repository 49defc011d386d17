select * from ar where ardate > 0 order by ardate
