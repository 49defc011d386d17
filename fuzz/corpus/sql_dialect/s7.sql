select * from ar where covers > 0 order by covers
